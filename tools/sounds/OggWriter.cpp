// The Ogg Vorbis encoder loop: headers first, then the samples in blocks, each finished page written as it comes.
#include "OggWriter.h"
#include <algorithm>
#include <cstdio>
#include <vorbis/vorbisenc.h>

namespace {
constexpr int FeedFrames = 4096;

bool WritePage(std::FILE* file, const ogg_page& page) {
    return std::fwrite(page.header, 1, static_cast<std::size_t>(page.header_len), file) ==
               static_cast<std::size_t>(page.header_len) &&
           std::fwrite(page.body, 1, static_cast<std::size_t>(page.body_len), file) ==
               static_cast<std::size_t>(page.body_len);
}
} // namespace

bool WriteOggVorbis(const std::string& path, const std::vector<std::vector<float>>& channels, int sampleRate,
                    float quality, const VorbisComments& comments, int serial, std::string& error) {
    if (channels.empty()) {
        error = "no channels";
        return false;
    }
    const std::size_t frames = channels[0].size();
    const int channelCount = static_cast<int>(channels.size());
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, channelCount, sampleRate, quality) != 0) {
        vorbis_info_clear(&info);
        error = "the encoder refused the format";
        return false;
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    for (const auto& [key, value] : comments) vorbis_comment_add_tag(&comment, key.c_str(), value.c_str());

    vorbis_dsp_state dsp;
    vorbis_block block;
    ogg_stream_state stream;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block_init(&dsp, &block);
    ogg_stream_init(&stream, serial);

    std::FILE* file = std::fopen(path.c_str(), "wb");
    bool ok = file != nullptr;
    if (!ok) error = "cannot write " + path;

    ogg_packet identification, commentPacket, codebooks;
    vorbis_analysis_headerout(&dsp, &comment, &identification, &commentPacket, &codebooks);
    ogg_stream_packetin(&stream, &identification);
    ogg_stream_packetin(&stream, &commentPacket);
    ogg_stream_packetin(&stream, &codebooks);
    ogg_page page;
    // The headers end on a page of their own, so the first audio page starts clean.
    while (ok && ogg_stream_flush(&stream, &page) != 0) ok = WritePage(file, page);

    std::size_t fed = 0;
    bool ended = false;
    while (ok && !ended) {
        std::size_t count = std::min<std::size_t>(FeedFrames, frames - fed);
        if (count == 0) {
            vorbis_analysis_wrote(&dsp, 0); // the end of the stream
        } else {
            float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(count));
            for (int c = 0; c < channelCount; ++c)
                for (std::size_t i = 0; i < count; ++i) buffer[c][i] = channels[static_cast<std::size_t>(c)][fed + i];
            vorbis_analysis_wrote(&dsp, static_cast<int>(count));
            fed += count;
        }
        while (ok && vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (ok && vorbis_bitrate_flushpacket(&dsp, &packet) != 0) {
                ogg_stream_packetin(&stream, &packet);
                while (ok && ogg_stream_pageout(&stream, &page) != 0) {
                    ok = WritePage(file, page);
                    if (ogg_page_eos(&page)) ended = true;
                }
            }
        }
        if (count == 0 && !ended) {
            while (ok && ogg_stream_flush(&stream, &page) != 0) ok = WritePage(file, page);
            ended = true;
        }
    }
    if (file != nullptr && std::fclose(file) != 0 && ok) {
        ok = false;
        error = "cannot finish " + path;
    }
    if (!ok && error.empty()) error = "cannot write " + path;

    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return ok;
}
