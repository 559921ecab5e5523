// The task list of the conversion component: each task a transcoder with its probes and option
// records. Only the engine's own sources include this file; applications see the tasks through
// TCustomFFConverter's index-based operations.
#pragma once

#include <memory>
#include <vector>

#include "engine/AVProbe.h"
#include "engine/FFConverterOptions.h"
#include "engine/FFmpeg.h"
#include "platform/base/Classes.h"
#include "platform/gdi/Graphics.h"

// One task: a transcoder with a probe and a stored copy of the option record per file.
class TFFmpeg : public TCustomFFmpeg {
public:
    explicit TFFmpeg(int AMaxFiles);
    ~TFFmpeg() override;

    // The probe of input AIndex, created when absent.
    TAVProbe* GetAVProbe(int AIndex);
    // The probe of input AIndex when it exists, else nil.
    TAVProbe* AVProbe(int AIndex) const;
    void SetInputOptions(int AIndex, const TInputOptions& AOptions);
    void SetOutputOptions(int AIndex, const TOutputOptions& AOptions);
    void ResetInputOptions(int AIndex);
    void ResetOutputOptions(int AIndex);
    const TInputOptions* InputOptions(int AIndex) const { return FInputOptions[AIndex].get(); }
    const TOutputOptions* OutputOptions(int AIndex) const { return FOutputOptions[AIndex].get(); }

    // Waits until the task's worker and any report of a cancelled start have finished.
    void WaitForIdle();

    // Reads or writes a stream object through a context of the libraries; owned by the task.
    AVIOContext* NewStreamIO(TStream* AStream, bool AWrite);

    // The picture handed to the custom-hook handler, reused for every frame.
    TBitmap* HookBitmap(int AWidth, int AHeight);

private:
    std::vector<std::unique_ptr<TAVProbe>> FAVProbes;
    std::vector<std::unique_ptr<TInputOptions>> FInputOptions;
    std::vector<std::unique_ptr<TOutputOptions>> FOutputOptions;
    std::vector<AVIOContext*> FStreamIOs;
    std::unique_ptr<TBitmap> FHookBitmap;
};

// The task list; it owns its tasks. Index errors are the list's "List index out of bounds (%d)".
class TFFmpegList : public TObject {
public:
    ~TFFmpegList() override;
    int Add(TFFmpeg* ATask);
    // Waits for every task's threads first, then frees every task.
    void Clear();
    void Delete(int AIndex);
    void Exchange(int AIndex1, int AIndex2);
    TFFmpeg* GetTask(int AIndex) const;
    int IndexOf(const TObject* ATask) const;
    int Count() const { return int(FList.size()); }
    void PauseAll();
    void ResumeAll();
    void CancelAll(bool AWaitFor);
    void SetPreviewHook(bool AValue);
    void SetPreviewBitmapHook(bool AValue);

private:
    void CheckIndex(int AIndex) const;
    std::vector<std::unique_ptr<TFFmpeg>> FList;
};

// How a task's records reach its transcoder: the option lines of a record's ExtOptions text, and
// the input and output records applied in their order before the file is opened.
struct TExtOption {
    String Name;
    String Value;
};
// Lines of an ExtOptions text: line breaks and "<CRLF>" separate lines; each line splits at its first
// "=" (no "=": an empty value); nothing is trimmed.
std::vector<TExtOption> ParseExtOptions(const String& AText);
// Applies every line through the transcoder's dispatcher, the name in lower case; lines handled by the
// output steps are skipped, and the codec and frame-size lines unless AAll.
void ApplyExtOptions(TCustomFFmpeg& ATask, const String& AText, bool AAll);
// Applies an input record and opens AFileName as the task's next input; False with the task's
// LastErrMsg. An empty FileName of the record takes AFileName. Exceptions of the handlers pass through.
bool OpenInputWithOptions(TCustomFFmpeg& ATask, TInputOptions& AOptions, const String& AFileName);
// Applies an output record and creates AFileName as the task's next output with its extra streams;
// the result of OpenOutputFile (-1 with the task's LastErrMsg). Exceptions of the handlers pass through.
int OpenOutputWithOptions(TCustomFFmpeg& ATask, TOutputOptions& AOptions, const String& AFileName);
