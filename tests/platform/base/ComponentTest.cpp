#include <gtest/gtest.h>

#include <vector>

#include "platform/base/Classes.h"

namespace {

std::vector<String> Log;

class TLogged : public TComponent {
public:
    TLogged(TComponent* AOwner, const String& AName) : TComponent(AOwner) { SetName(AName); }
    ~TLogged() override {
        Log.push_back(Name() + (ComponentState().Contains(csDestroying) ? u" destroyed" : u" destroyed unmarked"));
    }
    TComponent* Watched = nullptr;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override {
        TComponent::Notification(AComponent, Operation);
        if (Operation == opRemove && AComponent == Watched) {
            Watched = nullptr;
            Log.push_back(Name() + u" lost " + AComponent->Name());
        }
    }
    void Loaded() override {
        TComponent::Loaded();
        Log.push_back(Name() + u" loaded");
    }
};

TEST(TComponent, OwnerFreesOwnedLastFirst) {
    Log.clear();
    auto* form = new TLogged(nullptr, u"Form");
    auto* panel = new TLogged(form, u"Panel");
    new TLogged(panel, u"Button");
    new TLogged(form, u"Label");
    EXPECT_EQ(form->ComponentCount(), 2);
    EXPECT_EQ(form->FindComponent(u"panel"), panel);
    EXPECT_EQ(panel->Owner(), form);
    EXPECT_EQ(panel->ComponentIndex(), 0);
    delete form;
    EXPECT_EQ(Log,
              (std::vector<String>{u"Form destroyed", u"Label destroyed", u"Panel destroyed", u"Button destroyed"}));
}

TEST(TComponent, DeletingAnOwnedComponentLeavesItsOwner) {
    Log.clear();
    TLogged form(nullptr, u"Form");
    auto* a = new TLogged(&form, u"A");
    auto* b = new TLogged(&form, u"B");
    form.Watched = a; // the owner hears of its own components going
    delete a;
    EXPECT_EQ(form.ComponentCount(), 1);
    EXPECT_EQ(form.Components(0), b);
    EXPECT_EQ(form.Watched, nullptr);
    EXPECT_EQ(Log, (std::vector<String>{u"A destroyed", u"Form lost A"}));
}

TEST(TComponent, FreeNotificationCrossesOwners) {
    Log.clear();
    auto* formA = new TLogged(nullptr, u"FormA");
    auto* formB = new TLogged(nullptr, u"FormB");
    auto* data = new TLogged(formA, u"SkinData");
    auto* control = new TLogged(formB, u"Control");
    control->Watched = data;
    data->FreeNotification(control);
    EXPECT_TRUE(data->ComponentState().Contains(csFreeNotification));
    delete formA;
    EXPECT_EQ(control->Watched, nullptr);
    EXPECT_EQ(Log, (std::vector<String>{u"FormA destroyed", u"SkinData destroyed", u"Control lost SkinData"}));

    // After the link was used up, freeing the watcher does not touch the freed component.
    Log.clear();
    delete formB;
    EXPECT_EQ(Log, (std::vector<String>{u"FormB destroyed", u"Control destroyed"}));
}

TEST(TComponent, RemovedFreeNotificationIsNotSent) {
    Log.clear();
    TLogged a(nullptr, u"A");
    auto* b = new TLogged(nullptr, u"B");
    a.Watched = b;
    b->FreeNotification(&a);
    b->RemoveFreeNotification(&a);
    delete b;
    EXPECT_EQ(a.Watched, b);
    EXPECT_EQ(Log, (std::vector<String>{u"B destroyed"}));
}

TEST(TComponent, NamesAreIdentifiersUniqueInTheOwner) {
    TComponent owner(nullptr);
    auto* a = new TComponent(&owner);
    a->SetName(u"Button1");
    auto* b = new TComponent(&owner);
    try {
        b->SetName(u"BUTTON1");
        FAIL();
    } catch (const EComponentError& e) {
        EXPECT_EQ(e.Message(), u"A component named BUTTON1 already exists");
    }
    try {
        b->SetName(u"1x");
        FAIL();
    } catch (const EComponentError& e) {
        EXPECT_EQ(e.Message(), u"'1x' is not a valid component name");
    }
    // A constructor that raises frees the half-built component and leaves the owner as it was.
    EXPECT_THROW(new TLogged(&owner, u"Button1"), EComponentError);
    EXPECT_EQ(owner.ComponentCount(), 2);
    a->SetName(u"button1"); // its own name in another case
    b->SetName(u"Button2");
    b->SetTag(7);
    EXPECT_EQ(b->Tag(), 7);
    EXPECT_EQ(owner.FindComponent(u"BUTTON2"), b);
    EXPECT_EQ(owner.FindComponent(u""), nullptr);
}

TEST(TComponent, LoadingAndDesigningStates) {
    Log.clear();
    TLogged form(nullptr, u"Form");
    auto* child = new TLogged(&form, u"Child");
    form.BeginLoading();
    EXPECT_TRUE(child->ComponentState().Contains(csLoading));
    form.EndLoading();
    EXPECT_FALSE(child->ComponentState().Contains(csLoading));
    EXPECT_EQ(Log, (std::vector<String>{u"Form loaded", u"Child loaded"}));
    form.SetDesigning(true);
    auto* later = new TLogged(&form, u"Later");
    EXPECT_TRUE(later->ComponentState().Contains(csDesigning));
    EXPECT_TRUE(child->ComponentState().Contains(csDesigning));
}

class TColor3 : public TPersistent {
public:
    int R = 0, G = 0, B = 0;
    void Assign(TPersistent* Source) override {
        if (auto* c = dynamic_cast<TColor3*>(Source)) {
            R = c->R, G = c->G, B = c->B;
            return;
        }
        TPersistent::Assign(Source);
    }
};

class TOther : public TPersistent {};

TEST(TPersistent, AssignCopiesOrRaisesWithBothClassNames) {
    TColor3 a, b;
    b.G = 5;
    a.Assign(&b);
    EXPECT_EQ(a.G, 5);
    TOther other;
    try {
        a.Assign(&other);
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), u"Cannot assign a TOther to a TColor3");
    }
    try {
        a.Assign(nullptr);
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), u"Cannot assign a nil to a TColor3");
    }
}

class TImageItem : public TCollectionItem {
public:
    using TCollectionItem::TCollectionItem;
    String Caption;
    void Assign(TPersistent* Source) override {
        if (auto* i = dynamic_cast<TImageItem*>(Source)) {
            Caption = i->Caption;
            return;
        }
        TCollectionItem::Assign(Source);
    }
};

class TImageItems : public TCollection {
public:
    TImageItems() : TCollection(ItemClassOf<TImageItem>()) {}
    std::vector<String> Events;

protected:
    void Notify(TCollectionItem* Item, TCollectionNotification Action) override {
        static const char16_t* names[] = {u"added", u"extracting", u"deleting"};
        Events.push_back(String(names[Action]) + u" " + IntToStr(Item->ID()));
        TCollection::Notify(Item, Action);
    }
    void Update(TCollectionItem* Item) override { Events.push_back(u"update"); }
};

TEST(TCollection, AddsOrdersDeletesAndAssigns) {
    TImageItems items;
    auto* first = static_cast<TImageItem*>(items.Add());
    first->Caption = u"a";
    items.ItemsAs<TImageItem>(0)->Caption = u"a";
    static_cast<TImageItem*>(items.Insert(0))->Caption = u"b";
    EXPECT_EQ(items.Count(), 2);
    EXPECT_EQ(items.ItemsAs<TImageItem>(0)->Caption, u"b");
    EXPECT_EQ(first->Index(), 1);
    EXPECT_EQ(items.FindItemID(0), first);
    EXPECT_THROW(items.Items(2), EListError);
    items.Events.clear();
    delete first; // an item freed on its own leaves its collection
    EXPECT_EQ(items.Count(), 1);
    EXPECT_EQ(items.Events, (std::vector<String>{u"extracting 0", u"update"}));

    TImageItems copy;
    copy.Add();
    copy.Assign(&items);
    ASSERT_EQ(copy.Count(), 1);
    EXPECT_EQ(copy.ItemsAs<TImageItem>(0)->Caption, u"b");
    copy.Delete(0);
    EXPECT_EQ(copy.Count(), 0);
}

TEST(TList, KeepsPointersAndReportsBadIndexes) {
    int a = 1, b = 2, c = 3;
    TList list;
    list.Add(&c);
    list.Add(&a);
    list.Insert(1, &b);
    list.Sort([](void* x, void* y) { return *static_cast<int*>(x) - *static_cast<int*>(y); });
    EXPECT_EQ(list.Items<int>(0), &a);
    EXPECT_EQ(list.Last(), &c);
    EXPECT_EQ(list.IndexOf(&b), 1);
    list.Move(0, 2);
    EXPECT_EQ(list.Items<int>(2), &a);
    EXPECT_EQ(list.Remove(&b), 0);
    EXPECT_EQ(list.Count(), 2);
    try {
        list.Get(5);
        FAIL();
    } catch (const EListError& e) {
        EXPECT_EQ(e.Message(), u"List index out of bounds (5)");
    }
    EXPECT_THROW(list.Delete(-1), EListError);
}

class TCounted : public TObject {
public:
    explicit TCounted(int& Alive) : FAlive(Alive) { ++FAlive; }
    ~TCounted() override { --FAlive; }

private:
    int& FAlive;
};

TEST(TObjectList, FreesWhatItOwns) {
    int alive = 0;
    {
        TObjectList list;
        list.Add(new TCounted(alive));
        list.Add(new TCounted(alive));
        auto* kept = new TCounted(alive);
        list.Add(kept);
        list.Delete(0);
        EXPECT_EQ(alive, 2);
        list.Extract(kept);
        delete kept;
    }
    EXPECT_EQ(alive, 0);
}

} // namespace
