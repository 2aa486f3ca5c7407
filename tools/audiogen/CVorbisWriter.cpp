#include "CVorbisWriter.h"

#include <algorithm>
#include <cstdio>
#include <vorbis/vorbisenc.h>

namespace {

void appendPage(std::string& out, const ogg_page& page)
{
    out.append(reinterpret_cast<const char*>(page.header), static_cast<size_t>(page.header_len));
    out.append(reinterpret_cast<const char*>(page.body), static_cast<size_t>(page.body_len));
}

// Moves every finished block through the encoder into pages.
void drain(vorbis_dsp_state& dsp, vorbis_block& block, ogg_stream_state& ogg, std::string& out)
{
    ogg_packet packet;
    ogg_page page;
    while (vorbis_analysis_blockout(&dsp, &block) == 1) {
        vorbis_analysis(&block, nullptr);
        vorbis_bitrate_addblock(&block);
        while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
            ogg_stream_packetin(&ogg, &packet);
            while (ogg_stream_pageout(&ogg, &page))
                appendPage(out, page);
        }
    }
}

} // namespace

CVorbisWriter::CVorbisWriter(int channels, int rate, float quality, int serial)
    : channels(channels), rate(rate), quality(quality), serial(serial)
{
}

std::string CVorbisWriter::encode(const std::vector<float>& interleaved) const
{
    std::string out;
    if (channels < 1)
        return out;

    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, channels, rate, quality) != 0) {
        vorbis_info_clear(&info);
        return out;
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block block;
    vorbis_block_init(&dsp, &block);
    ogg_stream_state ogg;
    ogg_stream_init(&ogg, serial);

    ogg_packet header, commentHeader, codeHeader;
    vorbis_analysis_headerout(&dsp, &comment, &header, &commentHeader, &codeHeader);
    ogg_stream_packetin(&ogg, &header);
    ogg_stream_packetin(&ogg, &commentHeader);
    ogg_stream_packetin(&ogg, &codeHeader);
    ogg_page page;
    // The audio starts on a page of its own, as players expect.
    while (ogg_stream_flush(&ogg, &page))
        appendPage(out, page);

    const size_t frames = interleaved.size() / static_cast<size_t>(channels);
    const size_t chunk = 4096;
    for (size_t first = 0; first < frames; first += chunk) {
        const size_t count = std::min(chunk, frames - first);
        float** planes = vorbis_analysis_buffer(&dsp, static_cast<int>(count));
        for (size_t i = 0; i < count; ++i) {
            const float* frame = &interleaved[(first + i) * static_cast<size_t>(channels)];
            for (int c = 0; c < channels; ++c)
                planes[c][i] = frame[c];
        }
        vorbis_analysis_wrote(&dsp, static_cast<int>(count));
        drain(dsp, block, ogg, out);
    }
    vorbis_analysis_wrote(&dsp, 0);
    drain(dsp, block, ogg, out);
    while (ogg_stream_flush(&ogg, &page))
        appendPage(out, page);

    ogg_stream_clear(&ogg);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return out;
}

bool CVorbisWriter::write(const std::string& path, const std::vector<float>& interleaved) const
{
    const std::string bytes = encode(interleaved);
    if (bytes.empty()) {
        std::printf("ERROR: the Vorbis encoder refused %d channel(s) at %d Hz for \"%s\"\n", channels,
                    rate, path.c_str());
        return false;
    }
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        std::printf("ERROR: cannot write \"%s\"\n", path.c_str());
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        std::printf("ERROR: writing \"%s\" failed\n", path.c_str());
        return false;
    }
    return true;
}
