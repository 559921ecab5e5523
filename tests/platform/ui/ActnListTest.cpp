// Actions: execution, state changes reaching the controls linked to them, a freed action leaving its links,
// and the comparison of handler code.
#include "platform/ui/ActnList.h"

#include "platform/ui/Controls.h"

#include <gtest/gtest.h>

namespace {

class TLinkedControl : public TGraphicControl, public TActionClient {
public:
    explicit TLinkedControl(TComponent* AOwner) : TGraphicControl(AOwner), TActionClient(this) {}
    void ActionChange(TObject* Sender, bool CheckDefaults) override {
        ++Changes;
        TActionClient::ActionChange(Sender, CheckDefaults);
    }
    int Changes = 0;
};

void Plain(TObject*) {}
void Other(TObject*) {}

TEST(ActnList, TheLinkCarriesStateAndExecution) {
    TComponent Owner(nullptr);
    auto* A = new TAction(&Owner);
    int Runs = 0;
    A->OnExecute = [&](TObject* Sender) {
        EXPECT_EQ(Sender, A);
        ++Runs;
    };
    A->SetCaption(u"Open");
    TLinkedControl C(nullptr);
    C.SetCaption(u"Mine");
    C.SetAction(A);
    // At assignment the control keeps its own caption and takes the missing OnClick.
    EXPECT_EQ(C.Caption(), u"Mine");
    ASSERT_TRUE(bool(C.OnClick));
    EXPECT_TRUE(C.ActionLink()->Execute());
    EXPECT_EQ(Runs, 1);
    A->SetEnabled(false);
    A->SetCaption(u"Close");
    EXPECT_FALSE(C.Enabled());
    EXPECT_EQ(C.Caption(), u"Close");
    EXPECT_EQ(C.Changes, 3);
    A->SetChecked(false); // no change, no call
    EXPECT_EQ(C.Changes, 3);
    delete A;
    EXPECT_EQ(C.Action(), nullptr);
    EXPECT_FALSE(C.ActionLink()->Execute());
}

TEST(ActnList, ImagesComeFromTheActionsList) {
    TComponent Owner(nullptr);
    auto* List = new TCustomActionList(&Owner);
    auto* Images = new TCustomImageList(&Owner, 16, 16);
    auto* A = new TAction(&Owner);
    EXPECT_EQ(A->Images(), nullptr);
    A->SetActionList(List);
    List->SetImages(Images);
    EXPECT_EQ(A->Images(), Images);
    delete Images;
    EXPECT_EQ(A->Images(), nullptr);
}

TEST(ActnList, SameEventCodeComparesTheCodeNotTheData) {
    int X = 0, Y = 0;
    auto Make = [](int* P) { return TNotifyEvent([P](TObject*) { ++*P; }); };
    EXPECT_TRUE(SameEventCode(Make(&X), Make(&Y)));
    EXPECT_FALSE(SameEventCode(Make(&X), TNotifyEvent([](TObject*) {})));
    EXPECT_TRUE(SameEventCode(TNotifyEvent(Plain), TNotifyEvent(Plain)));
    EXPECT_FALSE(SameEventCode(TNotifyEvent(Plain), TNotifyEvent(Other)));
    EXPECT_FALSE(SameEventCode(TNotifyEvent(Plain), TNotifyEvent()));
    EXPECT_TRUE(SameEventCode(TNotifyEvent(), TNotifyEvent()));
}

} // namespace
