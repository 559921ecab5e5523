// The texts the file dialogs and file-system controls parse: a typed path split into drive, folder and file part,
// a mask matched against file names (by the shell list view over a folder of files), and a filter text split into
// descriptions and masks by the filter combo box. The first byte picks which; the rest is the text.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "FuzzSupport.h"
#include "platform/ui/Forms.h"
#include "platform/win/WinExtras.h"
#include "skin/dialogs/TbsSkinFilterComboBox.h"
#include "skin/dialogs/bsFileCtrlPaths.h"
#include "skin/dialogs/bsSkinShellCtrls.h"

namespace {

// A folder of a few files and folders, the current directory while the program runs.
struct TScene {
    std::string Folder = "/tmp/qv-fuzz-shell-" + std::to_string(::getpid());
    std::unique_ptr<TForm> Form;
    TbsSkinFilterComboBox* Filter = nullptr;
    TbsSkinFileListView* List = nullptr;

    TScene() {
        ::mkdir(Folder.c_str(), 0700);
        ::mkdir((Folder + "/文件夹").c_str(), 0700);
        for (const char* Name : {"clip.avi", "notes.txt", "README", "a.b.c", ".hidden", "[x]"})
            std::ofstream(Folder + "/" + Name) << "x";
        ChangeCurrentDir(UTF8ToString(Folder));
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(0, 0, 400, 300);
        Form->Show();
        Filter = new TbsSkinFilterComboBox(Form.get());
        Filter->SetParent(Form.get());
        List = new TbsSkinFileListView(Form.get());
        List->SetParent(Form.get());
        List->SetBounds(0, 30, 400, 250);
        List->SetPath(UTF8ToString(Folder));
        ProcessPendingMessages();
    }
    ~TScene() {
        Form.reset();
        std::filesystem::remove_all(Folder);
    }
};

TScene& Scene() {
    static TScene S;
    return S;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    if (Size == 0)
        return 0;
    TScene& S = Scene();
    const String Text = qvfuzz::Text(Data + 1, Size - 1);
    switch (Data[0] % 3) {
    case 0:
        qvfuzz::Tolerate([&] {
            String Drive, Dir, File;
            SplitEditPath(Text, Drive, Dir, File);
        });
        break;
    case 1:
        for (const char16_t* Name : {u"clip.avi", u"README", u"", u"a.b.c", u"文件夹"})
            MatchesMask(Name, Text);
        S.List->SetMask(Text);
        break;
    case 2:
        S.Filter->SetFilter(Text);
        for (int I = -1; I <= S.Filter->Items()->Count() && I < 16; ++I) {
            S.Filter->SetItemIndex(I);
            S.List->SetMask(S.Filter->Mask());
        }
        break;
    }
    return 0;
}
