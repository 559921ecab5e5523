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
    const auto It = std::find(List.begin(), List.end(), Item);
    return It == List.end() ? -1 : int(It - List.begin());
}

// Moves the element at From to To (both valid indexes).
template <class T> void MoveIn(std::vector<T*>& List, int From, int To) {
    T* Item = List[From];
    List.erase(List.begin() + From);
    List.insert(List.begin() + To, Item);
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
    for (std::size_t I = 0; I < S.size(); ++I) {
        const char16_t C = S[I];
        const bool Letter = (C >= 'a' && C <= 'z') || (C >= 'A' && C <= 'Z') || C == '_';
        if (!Letter && !(I > 0 && C >= '0' && C <= '9'))
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
    void* Memory = dynamic_cast<void*>(Component);
    Component->Destroying();
    Component->~TComponent();
    ::operator delete(Memory);
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
        TComponent* Other = FFreeNotifies.back();
        Other->Notification(this, opRemove);
        // A Notification override that does not call the base leaves the link: drop it here.
        if (!FFreeNotifies.empty() && FFreeNotifies.back() == Other)
            RemoveFreeNotification(Other);
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
    auto& List = FOwner->FComponents;
    const int Current = ComponentIndex();
    if (Current < 0)
        return;
    MoveIn(List, Current, std::clamp(Value, 0, int(List.size()) - 1));
}

TComponent* TComponent::FindComponent(const String& AName) const {
    if (AName.empty())
        return nullptr;
    for (TComponent* C : FComponents)
        if (SameText(C->FName, AName))
            return C;
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
    const auto It = std::find(FComponents.begin(), FComponents.end(), AComponent);
    if (It != FComponents.end())
        FComponents.erase(It);
    AComponent->FOwner = nullptr;
}

void TComponent::DestroyComponents() {
    while (!FComponents.empty()) {
        TComponent* Instance = FComponents.back();
        if (Instance->FComponentState.Contains(csFreeNotification))
            RemoveComponent(Instance);
        else
            Remove(Instance);
        delete Instance;
    }
}

void TComponent::Destroying() {
    if (FComponentState.Contains(csDestroying))
        return;
    FComponentState.Include(csDestroying);
    for (TComponent* C : FComponents)
        C->Destroying();
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
    if (Operation == opRemove && AComponent)
        RemoveFreeNotification(AComponent);
    for (int I = ComponentCount() - 1; I >= 0; --I) {
        if (I >= ComponentCount())
            continue; // a handler removed components
        FComponents[I]->Notification(AComponent, Operation);
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
    const auto It = std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent);
    if (It == FFreeNotifies.end())
        return;
    FFreeNotifies.erase(It);
    if (FFreeNotifies.empty())
        FComponentState.Exclude(csFreeNotification);
}

void TComponent::BeginLoading() {
    FComponentState.Include(csLoading);
    for (TComponent* C : FComponents)
        C->BeginLoading();
}

void TComponent::EndLoading() {
    if (FComponentState.Contains(csLoading))
        Loaded();
    for (int I = 0; I < ComponentCount(); ++I)
        FComponents[I]->EndLoading();
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
        for (TComponent* C : FComponents)
            C->SetDesigning(Value);
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
    void* Item = Get(Index);
    FList.erase(FList.begin() + Index);
    if (Item)
        Notify(Item, lnDeleted);
}

int TList::Remove(void* Item) {
    const int I = IndexOf(Item);
    if (I >= 0)
        Delete(I);
    return I;
}

void* TList::Extract(void* Item) {
    const int I = IndexOf(Item);
    if (I < 0)
        return nullptr;
    FList.erase(FList.begin() + I);
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
    for (int I = Count() - 1; I >= 0; --I)
        if (!FList[I])
            FList.erase(FList.begin() + I);
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
    for (int I = Count() - 1; I >= NewCount; --I)
        Delete(I);
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
    void* Old = Get(Index);
    if (Old == Item)
        return;
    FList[Index] = Item;
    if (Old)
        Notify(Old, lnDeleted);
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
    const std::int64_t Result = Count;
    std::vector<Byte> Buffer(std::size_t(std::min<std::int64_t>(Count, 0x10000)));
    while (Count > 0) {
        const std::int64_t N = std::min<std::int64_t>(Count, std::int64_t(Buffer.size()));
        Source->ReadBuffer(Buffer.data(), N);
        WriteBuffer(Buffer.data(), N);
        Count -= N;
    }
    return Result;
}

std::int64_t TStream::Size() {
    const std::int64_t Pos = Seek(0, soCurrent);
    const std::int64_t Size = Seek(0, soEnd);
    Seek(Pos, soBeginning);
    return Size;
}

void TStream::SetSize(std::int64_t) {}

namespace {

// Moves all Count bytes unless the file ends or fails; interrupted calls are repeated.
template <class Op> std::int64_t TransferAll(Op op, std::int64_t Count) {
    std::int64_t Done = 0;
    while (Done < Count) {
        const ssize_t N = op(Done, std::size_t(Count - Done));
        if (N < 0 && errno == EINTR)
            continue;
        if (N <= 0)
            break;
        Done += N;
    }
    return Done;
}

} // namespace

std::int64_t THandleStream::Read(void* Buffer, std::int64_t Count) {
    auto* P = static_cast<char*>(Buffer);
    return TransferAll([&](std::int64_t at, std::size_t n) { return ::read(FHandle, P + at, n); }, Count);
}

std::int64_t THandleStream::Write(const void* Buffer, std::int64_t Count) {
    const auto* P = static_cast<const char*>(Buffer);
    return TransferAll([&](std::int64_t at, std::size_t n) { return ::write(FHandle, P + at, n); }, Count);
}

std::int64_t THandleStream::Seek(std::int64_t Offset, TSeekOrigin Origin) {
    const int Whence = Origin == soBeginning ? SEEK_SET : Origin == soCurrent ? SEEK_CUR : SEEK_END;
    return ::lseek(FHandle, off_t(Offset), Whence);
}

void THandleStream::SetSize(std::int64_t NewSize) {
    if (::ftruncate(FHandle, off_t(NewSize)) != 0)
        RaiseLastOSError();
    Seek(NewSize, soBeginning);
}

TFileStream::TFileStream(const String& AFileName, Word Mode) : THandleStream(-1), FFileName(AFileName) {
    const std::string Path = UTF8Encode(AFileName);
    if ((Mode & fmCreate) == fmCreate) {
        FHandle = ::open(Path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (FHandle < 0)
            throw EFCreateError(
                Format(u"Cannot create file \"%s\". %s", {ExpandFileName(AFileName), SysErrorMessage(GetLastError())}));
        return;
    }
    const int Access = (Mode & 3) == fmOpenWrite ? O_WRONLY : (Mode & 3) == fmOpenReadWrite ? O_RDWR : O_RDONLY;
    FHandle = ::open(Path.c_str(), Access | O_CLOEXEC);
    struct stat St;
    if (FHandle >= 0 && ::fstat(FHandle, &St) == 0 && S_ISDIR(St.st_mode)) {
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
    const std::int64_t Size = std::int64_t(FData.size());
    if (Count <= 0 || FPosition < 0 || FPosition >= Size)
        return 0;
    const std::int64_t N = std::min(Count, Size - FPosition);
    std::memcpy(Buffer, FData.data() + FPosition, std::size_t(N));
    FPosition += N;
    return N;
}

std::int64_t TCustomMemoryStream::Seek(std::int64_t Offset, TSeekOrigin Origin) {
    const std::int64_t Base = Origin == soBeginning ? 0 : Origin == soCurrent ? FPosition : std::int64_t(FData.size());
    FPosition = std::max<std::int64_t>(Base + Offset, 0);
    return FPosition;
}

void TCustomMemoryStream::SaveToStream(TStream* Stream) {
    Stream->WriteBuffer(FData.data(), FData.size());
}

void TCustomMemoryStream::SaveToFile(const String& FileName) {
    TFileStream File(FileName, fmCreate);
    SaveToStream(&File);
}

std::int64_t TMemoryStream::Write(const void* Buffer, std::int64_t Count) {
    if (Count <= 0 || FPosition < 0)
        return 0;
    const std::int64_t End = FPosition + Count;
    if (End > std::int64_t(FData.size()))
        FData.resize(std::size_t(End));
    std::memcpy(FData.data() + FPosition, Buffer, std::size_t(Count));
    FPosition = End;
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
    const std::int64_t Size = Stream->Size();
    SetSize(Size);
    if (Size > 0)
        Stream->ReadBuffer(FData.data(), Size);
    FPosition = 0;
}

void TMemoryStream::LoadFromFile(const String& FileName) {
    TFileStream File(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&File);
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
    std::string Bytes(std::size_t(std::max<std::int64_t>(0, std::min(Count, Size() - Position()))), '\0');
    Bytes.resize(std::size_t(Read(Bytes.data(), std::int64_t(Bytes.size()))));
    return UTF8ToString(Bytes);
}

void TStringStream::WriteString(const String& AString) {
    const std::string Bytes = UTF8Encode(AString);
    WriteBuffer(Bytes.data(), std::int64_t(Bytes.size()));
}

// ---------------------------------------------------------------------------------------------
// TStrings

void TStrings::Error(const String& Msg, NativeInt Data) const {
    throw EStringListError(Format(Msg, {std::int64_t(Data)}));
}

int TStrings::Add(const String& S) {
    const int N = Count();
    Insert(N, S);
    return N;
}

int TStrings::AddObject(const String& S, TObject* AObject) {
    const int N = Add(S);
    PutObject(N, AObject);
    return N;
}

void TStrings::AddStrings(const TStrings* Strings) {
    BeginUpdate();
    for (int I = 0; I < Strings->Count(); ++I)
        AddObject(Strings->Get(I), Strings->GetObject(I));
    EndUpdate();
}

void TStrings::AddStrings(std::initializer_list<String> Strings) {
    BeginUpdate();
    for (const String& S : Strings)
        Add(S);
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
    const String S = Get(Index1);
    TObject* O = GetObject(Index1);
    Put(Index1, Get(Index2));
    PutObject(Index1, GetObject(Index2));
    Put(Index2, S);
    PutObject(Index2, O);
    EndUpdate();
}

void TStrings::Move(int CurIndex, int NewIndex) {
    if (CurIndex == NewIndex)
        return;
    BeginUpdate();
    const String S = Get(CurIndex);
    TObject* O = GetObject(CurIndex);
    Delete(CurIndex);
    InsertObject(NewIndex, S, O);
    EndUpdate();
}

void TStrings::InsertObject(int Index, const String& S, TObject* AObject) {
    Insert(Index, S);
    PutObject(Index, AObject);
}

int TStrings::IndexOf(const String& S) const {
    for (int I = 0; I < Count(); ++I)
        if (CompareStrings(Get(I), S) == 0)
            return I;
    return -1;
}

int TStrings::IndexOfName(const String& Name) const {
    for (int I = 0; I < Count(); ++I) {
        const String S = Get(I);
        const std::size_t P = S.find(FNameValueSeparator);
        if (P != String::npos && CompareStrings(S.substr(0, P), Name) == 0)
            return I;
    }
    return -1;
}

int TStrings::IndexOfObject(const TObject* AObject) const {
    for (int I = 0; I < Count(); ++I)
        if (GetObject(I) == AObject)
            return I;
    return -1;
}

bool TStrings::Equals(const TStrings* Strings) const {
    if (Count() != Strings->Count())
        return false;
    for (int I = 0; I < Count(); ++I)
        if (Get(I) != Strings->Get(I))
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
    TObject* O = GetObject(Index);
    BeginUpdate();
    Delete(Index);
    InsertObject(Index, S, O);
    EndUpdate();
}

String TStrings::Names(int Index) const {
    const String S = Get(Index);
    const std::size_t P = S.find(FNameValueSeparator);
    return P == String::npos ? String() : S.substr(0, P);
}

String TStrings::ValueFromIndex(int Index) const {
    const String S = Get(Index);
    const std::size_t P = S.find(FNameValueSeparator);
    return P == String::npos ? String() : S.substr(P + 1);
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
    const int I = IndexOfName(Name);
    return I >= 0 ? ValueFromIndex(I) : String();
}

void TStrings::SetValues(const String& Name, const String& Value) {
    int I = IndexOfName(Name);
    if (Value.empty()) {
        if (I >= 0)
            Delete(I);
        return;
    }
    if (I < 0)
        I = Add(String());
    Put(I, Name + FNameValueSeparator + Value);
}

String TStrings::Text() const {
    String R;
    for (int I = 0; I < Count(); ++I)
        R += Get(I) + FLineBreak;
    return R;
}

void TStrings::SetText(const String& Value) {
    BeginUpdate();
    Clear();
    std::size_t I = 0;
    const std::size_t N = Value.size();
    while (I < N) {
        std::size_t J = I;
        while (J < N && Value[J] != '\r' && Value[J] != '\n')
            ++J;
        Add(Value.substr(I, J - I));
        if (J < N && Value[J] == '\r')
            ++J;
        if (J < N && Value[J] == '\n')
            ++J;
        I = J;
    }
    EndUpdate();
}

String TStrings::DelimitedText() const {
    String R;
    for (int I = 0; I < Count(); ++I) {
        const String S = Get(I);
        bool Quote = S.empty() && Count() == 1;
        for (char16_t C : S)
            if ((!FStrictDelimiter && C <= ' ') || C == FQuoteChar || C == FDelimiter)
                Quote = true;
        if (I > 0)
            R += FDelimiter;
        R += Quote ? AnsiQuotedStr(S, FQuoteChar) : S;
    }
    return R;
}

void TStrings::SetDelimitedText(const String& Value) {
    BeginUpdate();
    Clear();
    std::size_t P = 0;
    const std::size_t N = Value.size();
    auto Blank = [&](std::size_t i) { return !FStrictDelimiter && i < N && Value[i] >= 1 && Value[i] <= ' '; };
    while (Blank(P))
        ++P;
    while (P < N) {
        String S;
        if (Value[P] == FQuoteChar) {
            ++P;
            while (P < N) {
                if (Value[P] == FQuoteChar) {
                    if (P + 1 < N && Value[P + 1] == FQuoteChar) {
                        S += FQuoteChar;
                        P += 2;
                        continue;
                    }
                    ++P;
                    break;
                }
                S += Value[P++];
            }
        } else {
            const std::size_t Start = P;
            while (P < N && (FStrictDelimiter || Value[P] > ' ') && Value[P] != FDelimiter)
                ++P;
            S = Value.substr(Start, P - Start);
        }
        Add(S);
        while (Blank(P))
            ++P;
        if (P < N && Value[P] == FDelimiter) {
            if (P + 1 == N)
                Add(String());
            do
                ++P;
            while (Blank(P));
        }
    }
    EndUpdate();
}

String TStrings::CommaText() const {
    TStringList Copy;
    Copy.Assign(const_cast<TStrings*>(this));
    Copy.SetDelimiter(u',');
    Copy.SetQuoteChar(u'"');
    Copy.SetStrictDelimiter(false);
    return Copy.DelimitedText();
}

void TStrings::SetCommaText(const String& Value) {
    const Char D = FDelimiter, Q = FQuoteChar;
    const bool Strict = FStrictDelimiter;
    FDelimiter = u',';
    FQuoteChar = u'"';
    FStrictDelimiter = false;
    SetDelimitedText(Value);
    FDelimiter = D;
    FQuoteChar = Q;
    FStrictDelimiter = Strict;
}

void TStrings::LoadFromFile(const String& FileName) {
    TFileStream File(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&File);
}

void TStrings::LoadFromStream(TStream* Stream) {
    const std::int64_t Size = Stream->Size() - Stream->Position();
    std::string Bytes(std::size_t(std::max<std::int64_t>(Size, 0)), '\0');
    Stream->ReadBuffer(Bytes.data(), std::int64_t(Bytes.size()));
    std::string_view View = Bytes;
    if (View.starts_with("\xEF\xBB\xBF"))
        View.remove_prefix(3);
    SetText(UTF8ToString(View));
}

void TStrings::SaveToFile(const String& FileName) const {
    TFileStream File(FileName, fmCreate);
    SaveToStream(&File);
}

void TStrings::SaveToStream(TStream* Stream) const {
    const std::string Bytes = UTF8Encode(Text());
    Stream->WriteBuffer(Bytes.data(), std::int64_t(Bytes.size()));
}

std::vector<String> TStrings::ToVector() const {
    std::vector<String> V;
    for (int I = 0; I < Count(); ++I)
        V.push_back(Get(I));
    return V;
}

// ---------------------------------------------------------------------------------------------
// TStringList

TStringList::~TStringList() {
    OnChange = nullptr;
    OnChanging = nullptr;
    if (FOwnsObjects)
        for (auto& Item : FList)
            delete Item.FObject;
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
    int Index = Count();
    if (FSorted && Find(S, Index)) {
        if (FDuplicates == dupIgnore)
            return Index;
        if (FDuplicates == dupError)
            throw EStringListError(u"String list does not allow duplicates");
    }
    InsertItem(Index, S, AObject);
    return Index;
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
    std::vector<TStringItem> Old;
    Old.swap(FList);
    if (FOwnsObjects)
        for (auto& Item : Old)
            delete Item.FObject;
    Changed();
}

void TStringList::Delete(int Index) {
    CheckIndex(Index);
    Changing();
    TObject* O = FList[Index].FObject;
    FList.erase(FList.begin() + Index);
    if (FOwnsObjects)
        delete O;
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
    int Lo = 0, Hi = Count();
    while (Lo < Hi) {
        const int Mid = (Lo + Hi) / 2;
        if (CompareStrings(FList[Mid].FString, S) < 0)
            Lo = Mid + 1;
        else
            Hi = Mid;
    }
    Index = Lo;
    return Lo < Count() && CompareStrings(FList[Lo].FString, S) == 0;
}

int TStringList::IndexOf(const String& S) const {
    if (!FSorted)
        return TStrings::IndexOf(S);
    int Index;
    return Find(S, Index) ? Index : -1;
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
    std::vector<int> Order(FList.size());
    for (std::size_t I = 0; I < Order.size(); ++I)
        Order[I] = int(I);
    std::stable_sort(Order.begin(), Order.end(), [&](int a, int b) { return Compare(this, a, b) < 0; });
    std::vector<TStringItem> Sorted;
    Sorted.reserve(FList.size());
    for (int I : Order)
        Sorted.push_back(std::move(FList[I]));
    FList.swap(Sorted);
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
    const int Current = Index();
    if (Current < 0 || Current == Value)
        return;
    auto& Items = FCollection->FItems;
    if (Value < 0 || Value >= int(Items.size()))
        TList::Error(u"List index out of bounds (%d)", Value);
    MoveIn(Items, Current, Value);
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
    TCollectionItem* Item = FItemClass(this);
    if (Item->FCollection != this)
        Item->SetCollection(this);
    return Item;
}

TCollectionItem* TCollection::Insert(int Index) {
    TCollectionItem* Item = Add();
    Item->SetIndex(Index);
    return Item;
}

void TCollection::Delete(int Index) {
    TCollectionItem* Item = Items(Index);
    Notify(Item, cnDeleting);
    delete Item;
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
        for (TCollectionItem* Item : source->FItems)
            Add()->Assign(Item);
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
    for (TCollectionItem* Item : FItems)
        if (Item->FID == ID)
            return Item;
    return nullptr;
}

TCollectionItem* TCollection::Items(int Index) const {
    if (Index < 0 || Index >= Count())
        TList::Error(u"List index out of bounds (%d)", Index);
    return FItems[Index];
}

String TCollection::GetNamePath() const {
    if (TPersistent* Owner = GetOwner())
        return Owner->GetNamePath();
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
    const auto It = std::find(FItems.begin(), FItems.end(), Item);
    if (It != FItems.end())
        FItems.erase(It);
    Item->FCollection = nullptr;
    Changed();
}
