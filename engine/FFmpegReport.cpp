// Progress reports, the report line and video statistics of a run.
#include "engine/FFmpeg.h"

#include "engine/AVCodecStubs.h"
#include "engine/AVFormatStubs.h"
#include "engine/AVUtilStubs.h"
#include "engine/FFmpegHelpers.h"
#include "engine/FFmpegStreams.h"

#include <cmath>

namespace {

// Peak signal-to-noise ratio of a normalised squared error; a perfect picture gives infinity.
double Psnr(double ANormalisedError) {
    return -10.0 * std::log10(ANormalisedError);
}

} // namespace

void TCustomFFmpeg::DoVideoStats(TAVOutputStream& ost, int frame_size) {
    if (!Fvstats_file) {
        Fvstats_file = fopen(Fvstats_filename.c_str(), "w");
        if (!Fvstats_file)
            Raise(u"fopen fail: " + UTF8ToString(Fvstats_filename));
    }
    AVCodecContext* Enc = ost.enc;
    if (Enc->codec_type != AVMEDIA_TYPE_VIDEO)
        return;
    fprintf(Fvstats_file, "frame= %5d q= %2.1f ", ost.frame_number, ost.quality / FF_QP2LAMBDA);
    if (Enc->flags & AV_CODEC_FLAG_PSNR)
        fprintf(Fvstats_file, "PSNR= %6.2f ",
                Psnr(double(ost.error[0]) / (double(Enc->width) * Enc->height * 255.0 * 255.0)));
    fprintf(Fvstats_file, "f_size= %6d ", frame_size);
    double ti1 = ost.sync_opts * av_q2d(Enc->time_base);
    if (ti1 < 0.01)
        ti1 = 0.01;
    const double bitrate = frame_size * 8 / av_q2d(Enc->time_base) / 1000.0;
    const double avg_bitrate = double(Fvideo_size) * 8 / ti1 / 1000.0;
    fprintf(Fvstats_file, "s_size= %8.0fkB time= %0.3f br= %7.1fkbits/s avg_br= %7.1fkbits/s ",
            double(Fvideo_size) / 1024, ti1, bitrate, avg_bitrate);
    fprintf(Fvstats_file, "type= %c\n", av::av_get_picture_type_char(AVPictureType(ost.pict_type)));
}

// "Y:%2.2f U:%2.2f V:%2.2f *:%2.2f " of the last picture, or of the whole stream on the last report.
String TCustomFFmpeg::PsnrText(const TAVOutputStream& AOst, bool AIsLast, int AFrameNumber) {
    const AVCodecContext* Enc = AOst.enc;
    String Text = u"PSNR=";
    double ErrorSum = 0, ScaleSum = 0;
    for (int J = 0; J < 3; ++J) {
        double Error = AIsLast ? double(Enc->error[J]) : double(AOst.error[J]);
        double Scale = double(Enc->width) * Enc->height * 255.0 * 255.0;
        if (AIsLast)
            Scale *= AFrameNumber;
        if (J)
            Scale /= 4;
        ErrorSum += Error;
        ScaleSum += Scale;
        Text += Format(u"%s:%2.2f ", {String(1, u"YUV"[J]), Psnr(Error / Scale)});
    }
    return Text + Format(u"*:%2.2f ", {Psnr(ErrorSum / ScaleSum)});
}

void TCustomFFmpeg::PrintReport(bool is_last, int file_index) {
    AVFormatContext* Oc = Foutput_files[0];
    Int64 total_size = 0;
    if (Oc && Oc->pb) {
        total_size = av::avio_size(Oc->pb);
        if (total_size < 0)
            total_size = av::avio_seek(Oc->pb, 0, SEEK_CUR);
    }
    int frame_number = -1, fps = -1;
    float q = -1.0f;
    double ti1 = 1e10;
    String Line;
    bool FirstVideo = true;
    for (auto& OstP : FRun->ost_table) {
        TAVOutputStream& Ost = *OstP;
        AVCodecContext* Enc = Ost.enc;
        const float Quality = Ost.setup->stream_copy ? -1.0f : Ost.quality / FF_QP2LAMBDA;
        if (Enc->codec_type == AVMEDIA_TYPE_VIDEO && !FirstVideo)
            Line += Format(u"q=%2.1f ", {double(Quality)});
        if (Enc->codec_type == AVMEDIA_TYPE_VIDEO && FirstVideo && Ost.show_fps) {
            FirstVideo = false;
            const double t = double(NowUs() - Ftimer_start) / 1000000.0;
            frame_number = Ost.frame_number;
            if (frame_number < 1)
                return;
            fps = t > 1 ? int(frame_number / t + 0.5) : 0;
            q = Quality;
            Line += Format(u"frame=%5d fps=%3d q=%3.1f ", {frame_number, fps, double(q)});
            if (is_last)
                Line += u"L";
            if (Fqp_hist) {
                const long Qp = std::lround(q);
                if (Qp >= 0 && Qp < 52)
                    ++FRun->qp_histogram[Qp];
                for (int J = 0; J < 32; ++J)
                    Line += Format(u"%X", {int(std::lround(std::log2(double(FRun->qp_histogram[J]) + 1)))});
            }
            if (Enc->flags & AV_CODEC_FLAG_PSNR)
                Line += PsnrText(Ost, is_last, frame_number);
        }
        const AVRational Tb = Enc->time_base.num ? Enc->time_base : Ost.st->time_base;
        const double T = Ost.sync_opts * av_q2d(Tb);
        if (T > 0 && T < ti1)
            ti1 = T;
    }
    if (ti1 < 0.01)
        ti1 = 0.01;
    if (ti1 == 1e10)
        ti1 = 0.01;
    const double bitrate = double(total_size) * 8 / ti1 / 1000.0;
    if (OnProgress || Fverbose > 0 || is_last) {
        Line += Format(u"size=%8.0fkB time=%0.2f bitrate=%6.1fkbits/s", {double(total_size) / 1024, ti1, bitrate});
        if (Fnb_frames_dup || Fnb_frames_drop)
            Line += Format(u" dup=%d drop=%d", {Fnb_frames_dup, Fnb_frames_drop});
        if (FShowDupOrDrop && Fverbose >= 0 && OnProgress) {
            FShowDupOrDrop = false;
            Log(fllVerbose, Line);
        }
    }
    // The last report of a task that ran to its end reaches the total, even where a stream ended
    // before the others (audio shorter than video).
    Int64 CurrentDuration = Int64(ti1 * 1000000);
    if (is_last && !FBroken && FTotalOutputDuration > 0)
        CurrentDuration = FTotalOutputDuration;
    if (OnProgress)
        OnProgress(this, file_index, frame_number, fps, q, float(bitrate), total_size, CurrentDuration,
                   FTotalOutputDuration);
    else if (Fverbose >= 0)
        Log(fllVerbose, Line);
    if (is_last && Fverbose >= 0) {
        const double raw = double(Fvideo_size + Faudio_size + Fextra_size);
        Log(fllVerbose, Format(u"video:%1.0fkB audio:%1.0fkB global headers:%1.0fkB muxing overhead %f%%\r\n",
                               {double(Fvideo_size) / 1024, double(Faudio_size) / 1024, double(Fextra_size) / 1024,
                                raw > 0 ? 100.0 * (double(total_size) - raw) / raw : 0.0}));
    }
}
