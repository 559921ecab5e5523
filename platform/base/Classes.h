// The class library's non-visual core: persistent objects, components with owners and free
// notification, lists, string lists, collections and streams. Threads live in Threads.h, which
// this header includes, so `Classes.h` gives everything the unit of that name gives.
#pragma once

#include <cstdint>
#include <functional>
#include <new>
#include <vector>

#include "platform/base/SysUtils.h"
#include "platform/base/System.h"
#include "platform/base/Types.h"

class TComponent;

enum TShiftStateItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateItem, 7>;

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TLeftRight { lrLeft = taLeftJustify, lrRight = taRightJustify };
enum TDuplicates { dupIgnore, dupAccept, dupError };
enum TOperation { opInsert, opRemove };

constexpr int MaxListSize = 0x7FFFFFF;

// ---------------------------------------------------------------------------------------------
// TPersistent: an object that can copy itself from another.

class TPersistent : public TObject {
public:
    // Copies Source into this object: the default asks Source to do it (AssignTo), which fails
    // with EConvertError "Cannot assign a <source class> to a <this class>" ("nil" for no source).
    virtual void Assign(TPersistent* Source);
    virtual String GetNamePath() const;
    virtual TPersistent* GetOwner() const { return nullptr; }

protected:
    virtual void AssignTo(TPersistent* Dest);
    [[noreturn]] void AssignError(const TPersistent* Source) const;
};

// ---------------------------------------------------------------------------------------------
// TComponent: an owner frees what it owns; components that refer to each other across owners
// ask for free notification and hear Notification(opRemove) when the other goes.
//
// Deleting a component first runs Destroying() on the complete object (so ComponentState holds
// csDestroying for every destructor, as before the destructors run on the platform the Parts were
// written for), then the destructors from the most derived down; TComponent's own destructor
// tells those asking for free notification, frees the owned components (last first) and leaves
// its owner. A component is created with new and freed with delete (or by its owner).

enum TComponentStateItem {
    csLoading,
    csReading,
    csWriting,
    csDestroying,
    csDesigning,
    csAncestor,
    csUpdating,
    csFixups,
    csFreeNotification,
    csInline,
    csDesignInstance
};
using TComponentState = TSet<TComponentStateItem, 11>;

class TComponent : public TPersistent {
public:
    explicit TComponent(TComponent* AOwner);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    void operator delete(TComponent* Component, std::destroying_delete_t);
    // The pair used when a constructor raises (the destroying form cannot free a half-built object).
    static void* operator new(std::size_t Size);
    static void operator delete(void* Memory);

    TComponent* Owner() const { return FOwner; }
    int ComponentCount() const { return int(FComponents.size()); }
    TComponent* Components(int Index) const;
    int ComponentIndex() const;
    void SetComponentIndex(int Value);
    TComponent* FindComponent(const String& AName) const;

    const String& Name() const { return FName; }
    // The name must be empty or an identifier and unique (letter case aside) among the owner's
    // components: EComponentError "'%s' is not a valid component name" or
    // "A component named %s already exists".
    virtual void SetName(const String& NewName);
    NativeInt Tag() const { return FTag; }
    void SetTag(NativeInt Value) { FTag = Value; }
    TComponentState ComponentState() const { return FComponentState; }

    void InsertComponent(TComponent* AComponent);
    void RemoveComponent(TComponent* AComponent);
    void DestroyComponents();
    // Sets csDestroying on this component and everything it owns.
    void Destroying();

    void FreeNotification(TComponent* AComponent);
    void RemoveFreeNotification(TComponent* AComponent);

    // Forms are built in code: BeginLoading marks this component and everything it owns with
    // csLoading; EndLoading calls Loaded on each (this one first, then the owned ones in order).
    void BeginLoading();
    void EndLoading();
    // csDesigning on this component (and, with SetChildren, on the owned ones).
    void SetDesigning(bool Value, bool SetChildren = true);

    TPersistent* GetOwner() const override { return FOwner; }
    String GetNamePath() const override { return FName; }

protected:
    // Called on the owner of AComponent for insertion and removal and, on opRemove, on every
    // component that asked for free notification of AComponent; passed on to the owned components.
    virtual void Notification(TComponent* AComponent, TOperation Operation);
    // Reading has finished: clears csLoading.
    virtual void Loaded();
    virtual void ValidateRename(TComponent* AComponent, const String& CurName, const String& NewName);
    virtual void ValidateInsert(TComponent* AComponent) {}
    virtual void ValidateContainer(TComponent* AComponent) {}
    void SetComponentState(TComponentState Value) { FComponentState = Value; }

private:
    void Insert(TComponent* AComponent);
    void Remove(TComponent* AComponent);
    void RemoveNotification(TComponent* AComponent);

    TComponent* FOwner = nullptr;
    String FName;
    NativeInt FTag = 0;
    std::vector<TComponent*> FComponents;
    std::vector<TComponent*> FFreeNotifies;
    TComponentState FComponentState;
};

// ---------------------------------------------------------------------------------------------
// TList: a list of untyped pointers; an index outside 0..Count-1 raises EListError
// "List index out of bounds (%d)".

enum TListNotification { lnAdded, lnExtracted, lnDeleted };
using TListSortCompare = int (*)(void* Item1, void* Item2);

class TList : public TObject {
public:
    TList() = default;
    TList(const TList&) = delete;
    TList& operator=(const TList&) = delete;
    ~TList() override;

    int Add(void* Item);
    void Insert(int Index, void* Item);
    void Delete(int Index);
    int Remove(void* Item);
    void* Extract(void* Item);
    virtual void Clear();
    void Exchange(int Index1, int Index2);
    void Move(int CurIndex, int NewIndex);
    void Pack();
    int IndexOf(void* Item) const;
    void* First() const { return Get(0); }
    void* Last() const { return Get(Count() - 1); }
    // Stable; Compare is a plain compare function or any callable of that form.
    void Sort(const std::function<int(void*, void*)>& Compare);

    int Count() const { return int(FList.size()); }
    void SetCount(int NewCount);
    int Capacity() const { return int(FList.capacity()); }
    void SetCapacity(int NewCapacity);
    void* Get(int Index) const;
    void Put(int Index, void* Item);
    void* operator[](int Index) const { return Get(Index); }
    template <class T> T* Items(int Index) const { return static_cast<T*>(Get(Index)); }
    void* const* List() const { return FList.data(); }

    [[noreturn]] static void Error(const String& Msg, NativeInt Data);

protected:
    virtual void Notify(void* Ptr, TListNotification Action) {}

private:
    std::vector<void*> FList;
};

// A TList of objects that, with OwnsObjects (the default), frees the objects it deletes or clears.
class TObjectList : public TList {
public:
    explicit TObjectList(bool AOwnsObjects = true) : FOwnsObjects(AOwnsObjects) {}
    ~TObjectList() override;
    bool OwnsObjects() const { return FOwnsObjects; }
    void SetOwnsObjects(bool Value) { FOwnsObjects = Value; }
    int Add(TObject* AObject) { return TList::Add(AObject); }
    TObject* Items(int Index) const { return static_cast<TObject*>(Get(Index)); }

protected:
    void Notify(void* Ptr, TListNotification Action) override;

private:
    bool FOwnsObjects = true;
};

// ---------------------------------------------------------------------------------------------
// Streams. ReadBuffer and WriteBuffer raise EReadError "Stream read error" and EWriteError
// "Stream write error" when fewer bytes move than asked.

enum TSeekOrigin { soBeginning, soCurrent, soEnd };
constexpr int soFromBeginning = 0;
constexpr int soFromCurrent = 1;
constexpr int soFromEnd = 2;

class TStream : public TObject {
public:
    virtual std::int64_t Read(void* Buffer, std::int64_t Count) = 0;
    virtual std::int64_t Write(const void* Buffer, std::int64_t Count) = 0;
    virtual std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) = 0;

    void ReadBuffer(void* Buffer, std::int64_t Count);
    void WriteBuffer(const void* Buffer, std::int64_t Count);
    // Copies Count bytes from Source's position, or (Count 0) all of Source from its start.
    std::int64_t CopyFrom(TStream* Source, std::int64_t Count);

    std::int64_t Position() { return Seek(0, soCurrent); }
    void SetPosition(std::int64_t Value) { Seek(Value, soBeginning); }
    virtual std::int64_t Size();
    virtual void SetSize(std::int64_t NewSize);

    // Little-endian scalars, as the stored formats need them.
    template <class T> T ReadValue() {
        T v;
        ReadBuffer(&v, sizeof v);
        return v;
    }
    template <class T> void WriteValue(const T& v) { WriteBuffer(&v, sizeof v); }
};

// A stream over an open file descriptor; it does not close it.
class THandleStream : public TStream {
public:
    explicit THandleStream(int AHandle) : FHandle(AHandle) {}
    int Handle() const { return FHandle; }
    std::int64_t Read(void* Buffer, std::int64_t Count) override;
    std::int64_t Write(const void* Buffer, std::int64_t Count) override;
    std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) override;
    void SetSize(std::int64_t NewSize) override;

protected:
    int FHandle = -1;
};

constexpr Word fmCreate = 0xFF00;
constexpr Word fmOpenRead = 0x0000;
constexpr Word fmOpenWrite = 0x0001;
constexpr Word fmOpenReadWrite = 0x0002;
constexpr Word fmShareCompat = 0x0000;
constexpr Word fmShareExclusive = 0x0010;
constexpr Word fmShareDenyWrite = 0x0020;
constexpr Word fmShareDenyRead = 0x0030;
constexpr Word fmShareDenyNone = 0x0040;

// fmCreate creates or empties the file (EFCreateError "Cannot create file \"%s\". %s"); the open
// modes open an existing file (EFOpenError "Cannot open file \"%s\". %s"). Share modes are
// accepted and have no effect here.
class TFileStream : public THandleStream {
public:
    TFileStream(const String& AFileName, Word Mode);
    ~TFileStream() override;
    const String& FileName() const { return FFileName; }

private:
    String FFileName;
};

class TCustomMemoryStream : public TStream {
public:
    std::int64_t Read(void* Buffer, std::int64_t Count) override;
    std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) override;
    void* Memory() { return FData.data(); }
    const void* Memory() const { return FData.data(); }
    void SaveToStream(TStream* Stream);
    void SaveToFile(const String& FileName);

protected:
    std::vector<Byte> FData;
    std::int64_t FPosition = 0;
};

class TMemoryStream : public TCustomMemoryStream {
public:
    std::int64_t Write(const void* Buffer, std::int64_t Count) override;
    void SetSize(std::int64_t NewSize) override;
    void Clear();
    void LoadFromStream(TStream* Stream);
    void LoadFromFile(const String& FileName);
};

// Bytes of text: the string is held as UTF-8.
class TStringStream : public TMemoryStream {
public:
    explicit TStringStream(const String& AString = String());
    explicit TStringStream(const std::string& ABytes);
    String DataString() const;
    std::string Bytes() const { return std::string(FData.begin(), FData.end()); }
    String ReadString(std::int64_t Count); // Count bytes from the position, decoded
    void WriteString(const String& AString);
};

// ---------------------------------------------------------------------------------------------
// TStrings: the abstract list of strings with objects; TStringList keeps them itself.
//
// Names and values are "name=value" lines (NameValueSeparator); names compare without letter
// case unless CaseSensitive. Text joins lines with LineBreak ("\r\n") and splits at CR LF, LF or
// CR. CommaText/DelimitedText quote items holding blanks, the delimiter or quotes.

class TStrings : public TPersistent {
public:
    ~TStrings() override = default;

    virtual int Add(const String& S);
    virtual int AddObject(const String& S, TObject* AObject);
    void Append(const String& S) { Add(S); }
    virtual void AddStrings(const TStrings* Strings);
    void AddStrings(std::initializer_list<String> Strings);
    void Assign(TPersistent* Source) override;
    virtual void Clear() = 0;
    virtual void Delete(int Index) = 0;
    virtual void Exchange(int Index1, int Index2);
    virtual void Move(int CurIndex, int NewIndex);
    virtual void Insert(int Index, const String& S) = 0;
    void InsertObject(int Index, const String& S, TObject* AObject);
    virtual int IndexOf(const String& S) const;
    int IndexOfName(const String& Name) const;
    int IndexOfObject(const TObject* AObject) const;
    bool Equals(const TStrings* Strings) const;

    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

    virtual int Count() const = 0;
    String Strings(int Index) const { return Get(Index); }
    void SetStrings(int Index, const String& S) { Put(Index, S); }
    String operator[](int Index) const { return Get(Index); }
    TObject* Objects(int Index) const { return GetObject(Index); }
    void SetObjects(int Index, TObject* AObject) { PutObject(Index, AObject); }

    String Names(int Index) const;
    String ValueFromIndex(int Index) const;
    void SetValueFromIndex(int Index, const String& Value);
    String Values(const String& Name) const;
    // An empty value removes the line, as the class library does.
    void SetValues(const String& Name, const String& Value);
    Char NameValueSeparator() const { return FNameValueSeparator; }
    void SetNameValueSeparator(Char Value) { FNameValueSeparator = Value; }

    virtual String Text() const;
    virtual void SetText(const String& Value);
    const String& LineBreak() const { return FLineBreak; }
    void SetLineBreak(const String& Value) { FLineBreak = Value; }
    String CommaText() const;
    void SetCommaText(const String& Value);
    String DelimitedText() const;
    void SetDelimitedText(const String& Value);
    Char Delimiter() const { return FDelimiter; }
    void SetDelimiter(Char Value) { FDelimiter = Value; }
    Char QuoteChar() const { return FQuoteChar; }
    void SetQuoteChar(Char Value) { FQuoteChar = Value; }
    bool StrictDelimiter() const { return FStrictDelimiter; }
    void SetStrictDelimiter(bool Value) { FStrictDelimiter = Value; }

    // Files and streams are UTF-8; a byte-order mark is skipped when reading, none is written.
    virtual void LoadFromFile(const String& FileName);
    virtual void LoadFromStream(TStream* Stream);
    virtual void SaveToFile(const String& FileName) const;
    virtual void SaveToStream(TStream* Stream) const;

    std::vector<String> ToVector() const;

protected:
    virtual String Get(int Index) const = 0;
    virtual void Put(int Index, const String& S);
    virtual TObject* GetObject(int Index) const { return nullptr; }
    virtual void PutObject(int Index, TObject* AObject) {}
    virtual void SetUpdateState(bool Updating) {}
    // Name comparison: without letter case here; TStringList follows its CaseSensitive.
    virtual int CompareStrings(const String& S1, const String& S2) const { return AnsiCompareText(S1, S2); }
    [[noreturn]] void Error(const String& Msg, NativeInt Data) const;

private:
    int FUpdateCount = 0;
    Char FNameValueSeparator = u'=';
    Char FDelimiter = u',';
    Char FQuoteChar = u'"';
    bool FStrictDelimiter = false;
    String FLineBreak = u"\r\n";
};

using TStringListSortCompare = std::function<int(class TStringList* List, int Index1, int Index2)>;

class TStringList : public TStrings {
public:
    TStringList() = default;
    explicit TStringList(bool AOwnsObjects) : FOwnsObjects(AOwnsObjects) {}
    ~TStringList() override;

    int Add(const String& S) override;
    int AddObject(const String& S, TObject* AObject) override;
    void Clear() override;
    void Delete(int Index) override;
    void Exchange(int Index1, int Index2) override;
    void Insert(int Index, const String& S) override;
    void InsertItem(int Index, const String& S, TObject* AObject);
    int IndexOf(const String& S) const override;
    int Count() const override { return int(FList.size()); }
    // Binary search of a sorted list: True and the index when found, else False and the index
    // where S would go.
    virtual bool Find(const String& S, int& Index) const;
    virtual void Sort();
    virtual void CustomSort(const TStringListSortCompare& Compare);

    bool Sorted() const { return FSorted; }
    void SetSorted(bool Value);
    TDuplicates Duplicates() const { return FDuplicates; }
    void SetDuplicates(TDuplicates Value) { FDuplicates = Value; }
    bool CaseSensitive() const { return FCaseSensitive; }
    void SetCaseSensitive(bool Value);
    bool OwnsObjects() const { return FOwnsObjects; }
    void SetOwnsObjects(bool Value) { FOwnsObjects = Value; }

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    String Get(int Index) const override;
    void Put(int Index, const String& S) override;
    TObject* GetObject(int Index) const override;
    void PutObject(int Index, TObject* AObject) override;
    void SetUpdateState(bool Updating) override;
    int CompareStrings(const String& S1, const String& S2) const override;
    virtual void Changed();
    virtual void Changing();

private:
    struct TStringItem {
        String FString;
        TObject* FObject = nullptr;
    };
    void CheckIndex(int Index) const;

    std::vector<TStringItem> FList;
    bool FSorted = false;
    TDuplicates FDuplicates = dupIgnore;
    bool FCaseSensitive = false;
    bool FOwnsObjects = false;
};

// ---------------------------------------------------------------------------------------------
// Collections: a list of items of one class, created by the collection. The collection owns its
// items; deleting an item removes it from its collection.

class TCollection;

class TCollectionItem : public TPersistent {
public:
    explicit TCollectionItem(TCollection* Collection);
    ~TCollectionItem() override;
    TCollectionItem(const TCollectionItem&) = delete;
    TCollectionItem& operator=(const TCollectionItem&) = delete;

    TCollection* Collection() const { return FCollection; }
    void SetCollection(TCollection* Value);
    int ID() const { return FID; }
    int Index() const;
    virtual void SetIndex(int Value);
    virtual String DisplayName() const;
    virtual void SetDisplayName(const String& Value) { Changed(false); }
    String GetNamePath() const override;

    TPersistent* GetOwner() const override;

protected:
    // Tells the collection: AllItems for a change that touches every item.
    void Changed(bool AllItems);

private:
    friend class TCollection;
    TCollection* FCollection = nullptr;
    int FID = 0;
};

using TCollectionItemClass = std::function<TCollectionItem*(TCollection*)>;
enum TCollectionNotification { cnAdded, cnExtracting, cnDeleting };

class TCollection : public TPersistent {
public:
    // The item class: a function creating one item in the collection, e.g. ItemClassOf<TMyItem>().
    explicit TCollection(TCollectionItemClass ItemClass);
    ~TCollection() override;
    TCollection(const TCollection&) = delete;
    TCollection& operator=(const TCollection&) = delete;

    template <class T> static TCollectionItemClass ItemClassOf() {
        return [](TCollection* C) -> TCollectionItem* { return new T(C); };
    }

    TCollectionItem* Add();
    TCollectionItem* Insert(int Index);
    void Delete(int Index);
    void Clear();
    // Copies another collection: the items are cleared, then one new item per source item is
    // added and assigned from it.
    void Assign(TPersistent* Source) override;
    virtual void BeginUpdate() { ++FUpdateCount; }
    virtual void EndUpdate();
    TCollectionItem* FindItemID(int ID) const;

    int Count() const { return int(FItems.size()); }
    TCollectionItem* Items(int Index) const;
    void SetItems(int Index, TCollectionItem* Value) { Items(Index)->Assign(Value); }
    template <class T> T* ItemsAs(int Index) const { return static_cast<T*>(Items(Index)); }
    const TCollectionItemClass& ItemClass() const { return FItemClass; }
    int UpdateCount() const { return FUpdateCount; }
    TPersistent* Owner() const { return GetOwner(); }
    String GetNamePath() const override;

protected:
    virtual void Added(TCollectionItem* Item) {}
    virtual void Deleting(TCollectionItem* Item) {}
    virtual void Notify(TCollectionItem* Item, TCollectionNotification Action);
    // Item changed (nil: the collection as a whole); called when no update is pending.
    virtual void Update(TCollectionItem* Item) {}
    void Changed();

private:
    friend class TCollectionItem;
    void InsertItem(TCollectionItem* Item);
    void RemoveItem(TCollectionItem* Item);

    TCollectionItemClass FItemClass;
    std::vector<TCollectionItem*> FItems;
    int FUpdateCount = 0;
    int FNextID = 0;
};

// A collection whose owner is given.
class TOwnedCollection : public TCollection {
public:
    TOwnedCollection(TPersistent* AOwner, TCollectionItemClass ItemClass)
        : TCollection(std::move(ItemClass)), FOwner(AOwner) {}
    TPersistent* GetOwner() const override { return FOwner; }

private:
    TPersistent* FOwner = nullptr;
};

#include "platform/base/Threads.h"
