#include "platform/base/Classes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

namespace {

// Position of Item in a list of pointers; -1 when absent.
template <class T> int IndexIn(const std::vector<T*>& List, const void* Item) {
    const auto it = std::find(List.begin(), List.end(), Item);
    return it == List.end() ? -1 : int(it - List.begin());
}

// Moves the element at From to To (both valid indexes).
template <class T> void MoveIn(std::vector<T*>& List, int From, int To) {
    T* item = List[From];
    List.erase(List.begin() + From);
    List.insert(List.begin() + To, item);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TPersistent

void TPersistent::Assign(TPersistent* Source) {
    if (Source)
        Source->AssignTo(this);
    else
        AssignError(nullptr);
}

void TPersistent::AssignTo(TPersistent* Dest) {
    Dest->AssignError(this);
}

void TPersistent::AssignError(const TPersistent* Source) const {
    const String SourceName = Source ? Source->ClassName() : String(u"nil");
    throw EConvertError(Format(u"Cannot assign a %s to a %s", {SourceName, ClassName()}));
}

String TPersistent::GetNamePath() const {
    return ClassName();
}

// ---------------------------------------------------------------------------------------------
// TComponent

namespace {

bool IsValidIdent(const String& S) {
    if (S.empty())
        return false;
    for (std::size_t i = 0; i < S.size(); ++i) {
        const char16_t c = S[i];
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
        if (!letter && !(i > 0 && c >= '0' && c <= '9'))
            return false;
    }
    return true;
}

} // namespace

TComponent::TComponent(TComponent* AOwner) {
    if (AOwner)
        AOwner->InsertComponent(this);
}

void TComponent::operator delete(TComponent* Component, std::destroying_delete_t) {
    // The complete object still stands here: mark it (and what it owns) as going away before any
    // destructor runs, then destroy it from the most derived class down.
    void* memory = dynamic_cast<void*>(Component);
    Component->Destroying();
    Component->~TComponent();
    ::operator delete(memory);
}

void* TComponent::operator new(std::size_t Size) {
    return ::operator new(Size);
}

void TComponent::operator delete(void* Memory) {
    ::operator delete(Memory);
}

TComponent::~TComponent() {
    Destroying();
    while (!FFreeNotifies.empty()) {
        TComponent* other = FFreeNotifies.back();
        other->Notification(this, opRemove);
        // A Notification override that does not call the base leaves the link: drop it here.
        if (!FFreeNotifies.empty() && FFreeNotifies.back() == other)
            RemoveFreeNotification(other);
    }
    DestroyComponents();
    if (FOwner)
        FOwner->RemoveComponent(this);
}

TComponent* TComponent::Components(int Index) const {
    if (Index < 0 || Index >= ComponentCount())
        TList::Error(u"List index out of bounds (%d)", Index);
    return FComponents[Index];
}

int TComponent::ComponentIndex() const {
    return FOwner ? IndexIn(FOwner->FComponents, this) : -1;
}

void TComponent::SetComponentIndex(int Value) {
    if (!FOwner)
        return;
    auto& list = FOwner->FComponents;
    const int current = ComponentIndex();
    if (current < 0)
        return;
    MoveIn(list, current, std::clamp(Value, 0, int(list.size()) - 1));
}

TComponent* TComponent::FindComponent(const String& AName) const {
    if (AName.empty())
        return nullptr;
    for (TComponent* c : FComponents)
        if (SameText(c->FName, AName))
            return c;
    return nullptr;
}

void TComponent::SetName(const String& NewName) {
    if (FName == NewName)
        return;
    if (!NewName.empty() && !IsValidIdent(NewName))
        throw EComponentError(Format(u"'%s' is not a valid component name", {NewName}));
    if (FOwner)
        FOwner->ValidateRename(this, FName, NewName);
    else
        ValidateRename(nullptr, FName, NewName);
    FName = NewName;
}

void TComponent::ValidateRename(TComponent* AComponent, const String& CurName, const String& NewName) {
    if (AComponent && !SameText(CurName, NewName) && AComponent->FOwner == this && FindComponent(NewName))
        throw EComponentError(Format(u"A component named %s already exists", {NewName}));
}

void TComponent::InsertComponent(TComponent* AComponent) {
    ValidateContainer(AComponent);
    ValidateRename(AComponent, String(), AComponent->FName);
    ValidateInsert(AComponent);
    Insert(AComponent);
    if (FComponentState.Contains(csDesigning))
        AComponent->SetDesigning(true);
    Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
    ValidateRename(AComponent, AComponent->FName, String());
    Notification(AComponent, opRemove);
    Remove(AComponent);
}

void TComponent::Insert(TComponent* AComponent) {
    if (AComponent->FOwner)
        AComponent->FOwner->RemoveComponent(AComponent);
    FComponents.push_back(AComponent);
    AComponent->FOwner = this;
}

void TComponent::Remove(TComponent* AComponent) {
    const auto it = std::find(FComponents.begin(), FComponents.end(), AComponent);
    if (it != FComponents.end())
        FComponents.erase(it);
    AComponent->FOwner = nullptr;
}

void TComponent::DestroyComponents() {
    while (!FComponents.empty()) {
        TComponent* instance = FComponents.back();
        if (instance->FComponentState.Contains(csFreeNotification))
            RemoveComponent(instance);
        else
            Remove(instance);
        delete instance;
    }
}

void TComponent::Destroying() {
    if (FComponentState.Contains(csDestroying))
        return;
    FComponentState.Include(csDestroying);
    for (TComponent* c : FComponents)
        c->Destroying();
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
    if (Operation == opRemove && AComponent)
        RemoveFreeNotification(AComponent);
    for (int i = ComponentCount() - 1; i >= 0; --i) {
        if (i >= ComponentCount())
            continue; // a handler removed components
        FComponents[i]->Notification(AComponent, Operation);
    }
}

void TComponent::FreeNotification(TComponent* AComponent) {
    if (!AComponent || AComponent == this)
        return;
    if (!FOwner || AComponent->FOwner != FOwner) {
        if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent) == FFreeNotifies.end()) {
            FFreeNotifies.push_back(AComponent);
            AComponent->FreeNotification(this);
        }
    }
    FComponentState.Include(csFreeNotification);
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
    RemoveNotification(AComponent);
    AComponent->RemoveNotification(this);
}

void TComponent::RemoveNotification(TComponent* AComponent) {
    const auto it = std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent);
    if (it == FFreeNotifies.end())
        return;
    FFreeNotifies.erase(it);
    if (FFreeNotifies.empty())
        FComponentState.Exclude(csFreeNotification);
}

void TComponent::BeginLoading() {
    FComponentState.Include(csLoading);
    for (TComponent* c : FComponents)
        c->BeginLoading();
}

void TComponent::EndLoading() {
    if (FComponentState.Contains(csLoading))
        Loaded();
    for (int i = 0; i < ComponentCount(); ++i)
        FComponents[i]->EndLoading();
}

void TComponent::Loaded() {
    FComponentState.Exclude(csLoading);
}

void TComponent::SetDesigning(bool Value, bool SetChildren) {
    if (Value)
        FComponentState.Include(csDesigning);
    else
        FComponentState.Exclude(csDesigning);
    if (SetChildren)
        for (TComponent* c : FComponents)
            c->SetDesigning(Value);
}

// ---------------------------------------------------------------------------------------------
// TList

TList::~TList() {
    FList.clear();
}

void TList::Error(const String& Msg, NativeInt Data) {
    throw EListError(Format(Msg, {std::int64_t(Data)}));
}

int TList::Add(void* Item) {
    FList.push_back(Item);
    if (Item)
        Notify(Item, lnAdded);
    return Count() - 1;
}

void TList::Insert(int Index, void* Item) {
    if (Index < 0 || Index > Count())
        Error(u"List index out of bounds (%d)", Index);
    FList.insert(FList.begin() + Index, Item);
    if (Item)
        Notify(Item, lnAdded);
}

void TList::Delete(int Index) {
    void* item = Get(Index);
    FList.erase(FList.begin() + Index);
    if (item)
        Notify(item, lnDeleted);
}

int TList::Remove(void* Item) {
    const int i = IndexOf(Item);
    if (i >= 0)
        Delete(i);
    return i;
}

void* TList::Extract(void* Item) {
    const int i = IndexOf(Item);
    if (i < 0)
        return nullptr;
    FList.erase(FList.begin() + i);
    Notify(Item, lnExtracted);
    return Item;
}

void TList::Clear() {
    SetCount(0);
}

void TList::Exchange(int Index1, int Index2) {
    Get(Index1);
    Get(Index2);
    std::swap(FList[Index1], FList[Index2]);
}

void TList::Move(int CurIndex, int NewIndex) {
    if (CurIndex == NewIndex)
        return;
    Get(CurIndex);
    Get(NewIndex);
    MoveIn(FList, CurIndex, NewIndex);
}

void TList::Pack() {
    for (int i = Count() - 1; i >= 0; --i)
        if (!FList[i])
            FList.erase(FList.begin() + i);
}

int TList::IndexOf(void* Item) const {
    return IndexIn(FList, Item);
}

void TList::Sort(const std::function<int(void*, void*)>& Compare) {
    std::stable_sort(FList.begin(), FList.end(), [&](void* a, void* b) { return Compare(a, b) < 0; });
}

void TList::SetCount(int NewCount) {
    if (NewCount < 0 || NewCount > MaxListSize)
        Error(u"List count out of bounds (%d)", NewCount);
    if (NewCount > Count()) {
        FList.resize(NewCount, nullptr);
        return;
    }
    for (int i = Count() - 1; i >= NewCount; --i)
        Delete(i);
}

void TList::SetCapacity(int NewCapacity) {
    if (NewCapacity < Count() || NewCapacity > MaxListSize)
        Error(u"List capacity out of bounds (%d)", NewCapacity);
    FList.reserve(NewCapacity);
}

void* TList::Get(int Index) const {
    if (Index < 0 || Index >= Count())
        Error(u"List index out of bounds (%d)", Index);
    return FList[Index];
}

void TList::Put(int Index, void* Item) {
    void* old = Get(Index);
    if (old == Item)
        return;
    FList[Index] = Item;
    if (old)
        Notify(old, lnDeleted);
    if (Item)
        Notify(Item, lnAdded);
}

TObjectList::~TObjectList() {
    Clear();
}

void TObjectList::Notify(void* Ptr, TListNotification Action) {
    if (FOwnsObjects && Action == lnDeleted)
        delete static_cast<TObject*>(Ptr);
}

// ---------------------------------------------------------------------------------------------
// Streams

void TStream::ReadBuffer(void* Buffer, std::int64_t Count) {
    if (Count > 0 && Read(Buffer, Count) != Count)
        throw EReadError(u"Stream read error");
}

void TStream::WriteBuffer(const void* Buffer, std::int64_t Count) {
    if (Count > 0 && Write(Buffer, Count) != Count)
        throw EWriteError(u"Stream write error");
}

std::int64_t TStream::CopyFrom(TStream* Source, std::int64_t Count) {
    if (Count == 0) {
        Source->SetPosition(0);
        Count = Source->Size();
    }
    const std::int64_t result = Count;
    std::vector<Byte> buffer(std::size_t(std::min<std::int64_t>(Count, 0x10000)));
    while (Count > 0) {
        const std::int64_t n = std::min<std::int64_t>(Count, std::int64_t(buffer.size()));
        Source->ReadBuffer(buffer.data(), n);
        WriteBuffer(buffer.data(), n);
        Count -= n;
    }
    return result;
}

std::int64_t TStream::Size() {
    const std::int64_t pos = Seek(0, soCurrent);
    const std::int64_t size = Seek(0, soEnd);
    Seek(pos, soBeginning);
    return size;
}

void TStream::SetSize(std::int64_t) {}

namespace {

// Moves all Count bytes unless the file ends or fails; interrupted calls are repeated.
template <class Op> std::int64_t TransferAll(Op op, std::int64_t Count) {
    std::int64_t done = 0;
    while (done < Count) {
        const ssize_t n = op(done, std::size_t(Count - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += n;
    }
    return done;
}

} // namespace

std::int64_t THandleStream::Read(void* Buffer, std::int64_t Count) {
    auto* p = static_cast<char*>(Buffer);
    return TransferAll([&](std::int64_t at, std::size_t n) { return ::read(FHandle, p + at, n); }, Count);
}

std::int64_t THandleStream::Write(const void* Buffer, std::int64_t Count) {
    const auto* p = static_cast<const char*>(Buffer);
    return TransferAll([&](std::int64_t at, std::size_t n) { return ::write(FHandle, p + at, n); }, Count);
}

std::int64_t THandleStream::Seek(std::int64_t Offset, TSeekOrigin Origin) {
    const int whence = Origin == soBeginning ? SEEK_SET : Origin == soCurrent ? SEEK_CUR : SEEK_END;
    return ::lseek(FHandle, off_t(Offset), whence);
}

void THandleStream::SetSize(std::int64_t NewSize) {
    if (::ftruncate(FHandle, off_t(NewSize)) != 0)
        RaiseLastOSError();
    Seek(NewSize, soBeginning);
}

TFileStream::TFileStream(const String& AFileName, Word Mode) : THandleStream(-1), FFileName(AFileName) {
    const std::string path = UTF8Encode(AFileName);
    if ((Mode & fmCreate) == fmCreate) {
        FHandle = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (FHandle < 0)
            throw EFCreateError(
                Format(u"Cannot create file \"%s\". %s", {ExpandFileName(AFileName), SysErrorMessage(GetLastError())}));
        return;
    }
    const int access = (Mode & 3) == fmOpenWrite ? O_WRONLY : (Mode & 3) == fmOpenReadWrite ? O_RDWR : O_RDONLY;
    FHandle = ::open(path.c_str(), access | O_CLOEXEC);
    struct stat st;
    if (FHandle >= 0 && ::fstat(FHandle, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(FHandle);
        FHandle = -1;
        errno = EISDIR;
    }
    if (FHandle < 0)
        throw EFOpenError(
            Format(u"Cannot open file \"%s\". %s", {ExpandFileName(AFileName), SysErrorMessage(GetLastError())}));
}

TFileStream::~TFileStream() {
    if (FHandle >= 0)
        ::close(FHandle);
}

std::int64_t TCustomMemoryStream::Read(void* Buffer, std::int64_t Count) {
    const std::int64_t size = std::int64_t(FData.size());
    if (Count <= 0 || FPosition < 0 || FPosition >= size)
        return 0;
    const std::int64_t n = std::min(Count, size - FPosition);
    std::memcpy(Buffer, FData.data() + FPosition, std::size_t(n));
    FPosition += n;
    return n;
}

std::int64_t TCustomMemoryStream::Seek(std::int64_t Offset, TSeekOrigin Origin) {
    const std::int64_t base = Origin == soBeginning ? 0 : Origin == soCurrent ? FPosition : std::int64_t(FData.size());
    FPosition = std::max<std::int64_t>(base + Offset, 0);
    return FPosition;
}

void TCustomMemoryStream::SaveToStream(TStream* Stream) {
    Stream->WriteBuffer(FData.data(), FData.size());
}

void TCustomMemoryStream::SaveToFile(const String& FileName) {
    TFileStream file(FileName, fmCreate);
    SaveToStream(&file);
}

std::int64_t TMemoryStream::Write(const void* Buffer, std::int64_t Count) {
    if (Count <= 0 || FPosition < 0)
        return 0;
    const std::int64_t end = FPosition + Count;
    if (end > std::int64_t(FData.size()))
        FData.resize(std::size_t(end));
    std::memcpy(FData.data() + FPosition, Buffer, std::size_t(Count));
    FPosition = end;
    return Count;
}

void TMemoryStream::SetSize(std::int64_t NewSize) {
    FData.resize(std::size_t(std::max<std::int64_t>(NewSize, 0)));
    FPosition = std::min(FPosition, std::int64_t(FData.size()));
}

void TMemoryStream::Clear() {
    FData.clear();
    FData.shrink_to_fit();
    FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream* Stream) {
    Stream->SetPosition(0);
    const std::int64_t size = Stream->Size();
    SetSize(size);
    if (size > 0)
        Stream->ReadBuffer(FData.data(), size);
    FPosition = 0;
}

void TMemoryStream::LoadFromFile(const String& FileName) {
    TFileStream file(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&file);
}

TStringStream::TStringStream(const String& AString) {
    WriteString(AString), FPosition = 0;
}

TStringStream::TStringStream(const std::string& ABytes) {
    FData.assign(ABytes.begin(), ABytes.end());
    FPosition = 0;
}

String TStringStream::DataString() const {
    return UTF8ToString(std::string_view((const char*)FData.data(), FData.size()));
}

String TStringStream::ReadString(std::int64_t Count) {
    std::string bytes(std::size_t(std::max<std::int64_t>(0, std::min(Count, Size() - Position()))), '\0');
    bytes.resize(std::size_t(Read(bytes.data(), std::int64_t(bytes.size()))));
    return UTF8ToString(bytes);
}

void TStringStream::WriteString(const String& AString) {
    const std::string bytes = UTF8Encode(AString);
    WriteBuffer(bytes.data(), std::int64_t(bytes.size()));
}

// ---------------------------------------------------------------------------------------------
// TStrings

void TStrings::Error(const String& Msg, NativeInt Data) const {
    throw EStringListError(Format(Msg, {std::int64_t(Data)}));
}

int TStrings::Add(const String& S) {
    const int n = Count();
    Insert(n, S);
    return n;
}

int TStrings::AddObject(const String& S, TObject* AObject) {
    const int n = Add(S);
    PutObject(n, AObject);
    return n;
}

void TStrings::AddStrings(const TStrings* Strings) {
    BeginUpdate();
    for (int i = 0; i < Strings->Count(); ++i)
        AddObject(Strings->Get(i), Strings->GetObject(i));
    EndUpdate();
}

void TStrings::AddStrings(std::initializer_list<String> Strings) {
    BeginUpdate();
    for (const String& s : Strings)
        Add(s);
    EndUpdate();
}

void TStrings::Assign(TPersistent* Source) {
    if (auto* source = dynamic_cast<TStrings*>(Source)) {
        BeginUpdate();
        Clear();
        FNameValueSeparator = source->FNameValueSeparator;
        FDelimiter = source->FDelimiter;
        FQuoteChar = source->FQuoteChar;
        FStrictDelimiter = source->FStrictDelimiter;
        FLineBreak = source->FLineBreak;
        AddStrings(source);
        EndUpdate();
        return;
    }
    TPersistent::Assign(Source);
}

void TStrings::Exchange(int Index1, int Index2) {
    BeginUpdate();
    const String s = Get(Index1);
    TObject* o = GetObject(Index1);
    Put(Index1, Get(Index2));
    PutObject(Index1, GetObject(Index2));
    Put(Index2, s);
    PutObject(Index2, o);
    EndUpdate();
}

void TStrings::Move(int CurIndex, int NewIndex) {
    if (CurIndex == NewIndex)
        return;
    BeginUpdate();
    const String s = Get(CurIndex);
    TObject* o = GetObject(CurIndex);
    Delete(CurIndex);
    InsertObject(NewIndex, s, o);
    EndUpdate();
}

void TStrings::InsertObject(int Index, const String& S, TObject* AObject) {
    Insert(Index, S);
    PutObject(Index, AObject);
}

int TStrings::IndexOf(const String& S) const {
    for (int i = 0; i < Count(); ++i)
        if (CompareStrings(Get(i), S) == 0)
            return i;
    return -1;
}

int TStrings::IndexOfName(const String& Name) const {
    for (int i = 0; i < Count(); ++i) {
        const String s = Get(i);
        const std::size_t p = s.find(FNameValueSeparator);
        if (p != String::npos && CompareStrings(s.substr(0, p), Name) == 0)
            return i;
    }
    return -1;
}

int TStrings::IndexOfObject(const TObject* AObject) const {
    for (int i = 0; i < Count(); ++i)
        if (GetObject(i) == AObject)
            return i;
    return -1;
}

bool TStrings::Equals(const TStrings* Strings) const {
    if (Count() != Strings->Count())
        return false;
    for (int i = 0; i < Count(); ++i)
        if (Get(i) != Strings->Get(i))
            return false;
    return true;
}

void TStrings::BeginUpdate() {
    if (FUpdateCount == 0)
        SetUpdateState(true);
    ++FUpdateCount;
}

void TStrings::EndUpdate() {
    if (FUpdateCount > 0 && --FUpdateCount == 0)
        SetUpdateState(false);
}

void TStrings::Put(int Index, const String& S) {
    TObject* o = GetObject(Index);
    BeginUpdate();
    Delete(Index);
    InsertObject(Index, S, o);
    EndUpdate();
}

String TStrings::Names(int Index) const {
    const String s = Get(Index);
    const std::size_t p = s.find(FNameValueSeparator);
    return p == String::npos ? String() : s.substr(0, p);
}

String TStrings::ValueFromIndex(int Index) const {
    const String s = Get(Index);
    const std::size_t p = s.find(FNameValueSeparator);
    return p == String::npos ? String() : s.substr(p + 1);
}

void TStrings::SetValueFromIndex(int Index, const String& Value) {
    if (Value.empty() && Index >= 0) {
        Delete(Index);
        return;
    }
    if (Index < 0)
        Index = Add(String());
    Put(Index, Names(Index) + FNameValueSeparator + Value);
}

String TStrings::Values(const String& Name) const {
    const int i = IndexOfName(Name);
    return i >= 0 ? ValueFromIndex(i) : String();
}

void TStrings::SetValues(const String& Name, const String& Value) {
    int i = IndexOfName(Name);
    if (Value.empty()) {
        if (i >= 0)
            Delete(i);
        return;
    }
    if (i < 0)
        i = Add(String());
    Put(i, Name + FNameValueSeparator + Value);
}

String TStrings::Text() const {
    String r;
    for (int i = 0; i < Count(); ++i)
        r += Get(i) + FLineBreak;
    return r;
}

void TStrings::SetText(const String& Value) {
    BeginUpdate();
    Clear();
    std::size_t i = 0;
    const std::size_t n = Value.size();
    while (i < n) {
        std::size_t j = i;
        while (j < n && Value[j] != '\r' && Value[j] != '\n')
            ++j;
        Add(Value.substr(i, j - i));
        if (j < n && Value[j] == '\r')
            ++j;
        if (j < n && Value[j] == '\n')
            ++j;
        i = j;
    }
    EndUpdate();
}

String TStrings::DelimitedText() const {
    String r;
    for (int i = 0; i < Count(); ++i) {
        const String s = Get(i);
        bool quote = s.empty() && Count() == 1;
        for (char16_t c : s)
            if ((!FStrictDelimiter && c <= ' ') || c == FQuoteChar || c == FDelimiter)
                quote = true;
        if (i > 0)
            r += FDelimiter;
        r += quote ? AnsiQuotedStr(s, FQuoteChar) : s;
    }
    return r;
}

void TStrings::SetDelimitedText(const String& Value) {
    BeginUpdate();
    Clear();
    std::size_t p = 0;
    const std::size_t n = Value.size();
    auto blank = [&](std::size_t i) { return !FStrictDelimiter && i < n && Value[i] >= 1 && Value[i] <= ' '; };
    while (blank(p))
        ++p;
    while (p < n) {
        String s;
        if (Value[p] == FQuoteChar) {
            ++p;
            while (p < n) {
                if (Value[p] == FQuoteChar) {
                    if (p + 1 < n && Value[p + 1] == FQuoteChar) {
                        s += FQuoteChar;
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                s += Value[p++];
            }
        } else {
            const std::size_t start = p;
            while (p < n && (FStrictDelimiter || Value[p] > ' ') && Value[p] != FDelimiter)
                ++p;
            s = Value.substr(start, p - start);
        }
        Add(s);
        while (blank(p))
            ++p;
        if (p < n && Value[p] == FDelimiter) {
            if (p + 1 == n)
                Add(String());
            do
                ++p;
            while (blank(p));
        }
    }
    EndUpdate();
}

String TStrings::CommaText() const {
    TStringList copy;
    copy.Assign(const_cast<TStrings*>(this));
    copy.SetDelimiter(u',');
    copy.SetQuoteChar(u'"');
    copy.SetStrictDelimiter(false);
    return copy.DelimitedText();
}

void TStrings::SetCommaText(const String& Value) {
    const Char d = FDelimiter, q = FQuoteChar;
    const bool strict = FStrictDelimiter;
    FDelimiter = u',';
    FQuoteChar = u'"';
    FStrictDelimiter = false;
    SetDelimitedText(Value);
    FDelimiter = d;
    FQuoteChar = q;
    FStrictDelimiter = strict;
}

void TStrings::LoadFromFile(const String& FileName) {
    TFileStream file(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&file);
}

void TStrings::LoadFromStream(TStream* Stream) {
    const std::int64_t size = Stream->Size() - Stream->Position();
    std::string bytes(std::size_t(std::max<std::int64_t>(size, 0)), '\0');
    Stream->ReadBuffer(bytes.data(), std::int64_t(bytes.size()));
    std::string_view view = bytes;
    if (view.starts_with("\xEF\xBB\xBF"))
        view.remove_prefix(3);
    SetText(UTF8ToString(view));
}

void TStrings::SaveToFile(const String& FileName) const {
    TFileStream file(FileName, fmCreate);
    SaveToStream(&file);
}

void TStrings::SaveToStream(TStream* Stream) const {
    const std::string bytes = UTF8Encode(Text());
    Stream->WriteBuffer(bytes.data(), std::int64_t(bytes.size()));
}

std::vector<String> TStrings::ToVector() const {
    std::vector<String> v;
    for (int i = 0; i < Count(); ++i)
        v.push_back(Get(i));
    return v;
}

// ---------------------------------------------------------------------------------------------
// TStringList

TStringList::~TStringList() {
    OnChange = nullptr;
    OnChanging = nullptr;
    if (FOwnsObjects)
        for (auto& item : FList)
            delete item.FObject;
}

void TStringList::CheckIndex(int Index) const {
    if (Index < 0 || Index >= Count())
        Error(u"List index out of bounds (%d)", Index);
}

void TStringList::Changed() {
    if (UpdateCount() == 0 && OnChange)
        OnChange(this);
}

void TStringList::Changing() {
    if (UpdateCount() == 0 && OnChanging)
        OnChanging(this);
}

void TStringList::SetUpdateState(bool Updating) {
    if (Updating)
        Changing();
    else
        Changed();
}

int TStringList::Add(const String& S) {
    return AddObject(S, nullptr);
}

int TStringList::AddObject(const String& S, TObject* AObject) {
    int index = Count();
    if (FSorted && Find(S, index)) {
        if (FDuplicates == dupIgnore)
            return index;
        if (FDuplicates == dupError)
            throw EStringListError(u"String list does not allow duplicates");
    }
    InsertItem(index, S, AObject);
    return index;
}

void TStringList::Insert(int Index, const String& S) {
    if (FSorted)
        throw EStringListError(u"Operation not allowed on sorted list");
    if (Index < 0 || Index > Count())
        Error(u"List index out of bounds (%d)", Index);
    InsertItem(Index, S, nullptr);
}

void TStringList::InsertItem(int Index, const String& S, TObject* AObject) {
    Changing();
    FList.insert(FList.begin() + Index, TStringItem{S, AObject});
    Changed();
}

void TStringList::Clear() {
    if (FList.empty())
        return;
    Changing();
    std::vector<TStringItem> old;
    old.swap(FList);
    if (FOwnsObjects)
        for (auto& item : old)
            delete item.FObject;
    Changed();
}

void TStringList::Delete(int Index) {
    CheckIndex(Index);
    Changing();
    TObject* o = FList[Index].FObject;
    FList.erase(FList.begin() + Index);
    if (FOwnsObjects)
        delete o;
    Changed();
}

void TStringList::Exchange(int Index1, int Index2) {
    CheckIndex(Index1);
    CheckIndex(Index2);
    Changing();
    std::swap(FList[Index1], FList[Index2]);
    Changed();
}

String TStringList::Get(int Index) const {
    CheckIndex(Index);
    return FList[Index].FString;
}

void TStringList::Put(int Index, const String& S) {
    if (FSorted)
        throw EStringListError(u"Operation not allowed on sorted list");
    CheckIndex(Index);
    Changing();
    FList[Index].FString = S;
    Changed();
}

TObject* TStringList::GetObject(int Index) const {
    CheckIndex(Index);
    return FList[Index].FObject;
}

void TStringList::PutObject(int Index, TObject* AObject) {
    CheckIndex(Index);
    Changing();
    FList[Index].FObject = AObject;
    Changed();
}

int TStringList::CompareStrings(const String& S1, const String& S2) const {
    return FCaseSensitive ? AnsiCompareStr(S1, S2) : AnsiCompareText(S1, S2);
}

bool TStringList::Find(const String& S, int& Index) const {
    int lo = 0, hi = Count();
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        if (CompareStrings(FList[mid].FString, S) < 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    Index = lo;
    return lo < Count() && CompareStrings(FList[lo].FString, S) == 0;
}

int TStringList::IndexOf(const String& S) const {
    if (!FSorted)
        return TStrings::IndexOf(S);
    int index;
    return Find(S, index) ? index : -1;
}

void TStringList::Sort() {
    CustomSort([](TStringList* List, int a, int b) {
        return List->CompareStrings(List->FList[a].FString, List->FList[b].FString);
    });
}

void TStringList::CustomSort(const TStringListSortCompare& Compare) {
    if (FList.size() < 2)
        return;
    Changing();
    // Sort a permutation with the caller's index-based comparison, then apply it.
    std::vector<int> order(FList.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = int(i);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return Compare(this, a, b) < 0; });
    std::vector<TStringItem> sorted;
    sorted.reserve(FList.size());
    for (int i : order)
        sorted.push_back(std::move(FList[i]));
    FList.swap(sorted);
    Changed();
}

void TStringList::SetSorted(bool Value) {
    if (FSorted == Value)
        return;
    if (Value)
        Sort();
    FSorted = Value;
}

void TStringList::SetCaseSensitive(bool Value) {
    if (FCaseSensitive == Value)
        return;
    FCaseSensitive = Value;
    if (FSorted)
        Sort();
}

// ---------------------------------------------------------------------------------------------
// Collections

TCollectionItem::TCollectionItem(TCollection* Collection) {
    SetCollection(Collection);
}

TCollectionItem::~TCollectionItem() {
    SetCollection(nullptr);
}

void TCollectionItem::SetCollection(TCollection* Value) {
    if (FCollection == Value)
        return;
    if (FCollection)
        FCollection->RemoveItem(this);
    if (Value)
        Value->InsertItem(this);
}

int TCollectionItem::Index() const {
    return FCollection ? IndexIn(FCollection->FItems, this) : -1;
}

void TCollectionItem::SetIndex(int Value) {
    const int current = Index();
    if (current < 0 || current == Value)
        return;
    auto& items = FCollection->FItems;
    if (Value < 0 || Value >= int(items.size()))
        TList::Error(u"List index out of bounds (%d)", Value);
    MoveIn(items, current, Value);
    Changed(true);
}

String TCollectionItem::DisplayName() const {
    return ClassName();
}

String TCollectionItem::GetNamePath() const {
    if (!FCollection)
        return ClassName();
    return Format(u"%s[%d]", {FCollection->GetNamePath(), Index()});
}

void TCollectionItem::Changed(bool AllItems) {
    if (FCollection && FCollection->FUpdateCount == 0)
        FCollection->Update(AllItems ? nullptr : this);
}

TPersistent* TCollectionItem::GetOwner() const {
    return FCollection;
}

TCollection::TCollection(TCollectionItemClass ItemClass) : FItemClass(std::move(ItemClass)) {}

TCollection::~TCollection() {
    FUpdateCount = 1;
    while (!FItems.empty())
        delete FItems.back();
}

TCollectionItem* TCollection::Add() {
    TCollectionItem* item = FItemClass(this);
    if (item->FCollection != this)
        item->SetCollection(this);
    return item;
}

TCollectionItem* TCollection::Insert(int Index) {
    TCollectionItem* item = Add();
    item->SetIndex(Index);
    return item;
}

void TCollection::Delete(int Index) {
    TCollectionItem* item = Items(Index);
    Notify(item, cnDeleting);
    delete item;
}

void TCollection::Clear() {
    if (FItems.empty())
        return;
    BeginUpdate();
    while (!FItems.empty())
        delete FItems.back();
    EndUpdate();
}

void TCollection::Assign(TPersistent* Source) {
    if (auto* source = dynamic_cast<TCollection*>(Source)) {
        if (source == this)
            return;
        BeginUpdate();
        Clear();
        for (TCollectionItem* item : source->FItems)
            Add()->Assign(item);
        EndUpdate();
        return;
    }
    TPersistent::Assign(Source);
}

void TCollection::EndUpdate() {
    if (FUpdateCount > 0)
        --FUpdateCount;
    Changed();
}

TCollectionItem* TCollection::FindItemID(int ID) const {
    for (TCollectionItem* item : FItems)
        if (item->FID == ID)
            return item;
    return nullptr;
}

TCollectionItem* TCollection::Items(int Index) const {
    if (Index < 0 || Index >= Count())
        TList::Error(u"List index out of bounds (%d)", Index);
    return FItems[Index];
}

String TCollection::GetNamePath() const {
    if (TPersistent* owner = GetOwner())
        return owner->GetNamePath();
    return ClassName();
}

void TCollection::Notify(TCollectionItem* Item, TCollectionNotification Action) {
    if (Action == cnAdded)
        Added(Item);
    else if (Action == cnDeleting)
        Deleting(Item);
}

void TCollection::Changed() {
    if (FUpdateCount == 0)
        Update(nullptr);
}

void TCollection::InsertItem(TCollectionItem* Item) {
    FItems.push_back(Item);
    Item->FCollection = this;
    Item->FID = FNextID++;
    Notify(Item, cnAdded);
    Changed();
}

void TCollection::RemoveItem(TCollectionItem* Item) {
    Notify(Item, cnExtracting);
    const auto it = std::find(FItems.begin(), FItems.end(), Item);
    if (it != FItems.end())
        FItems.erase(it);
    Item->FCollection = nullptr;
    Changed();
}
