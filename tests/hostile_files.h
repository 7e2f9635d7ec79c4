// Files a hostile player could hand the game, made by the test: Ogg Vorbis files of any shape
// (long ones made cheaply by repeating one encoded packet), FIFOs, and a wait with a deadline for
// code that might block on them.
#pragma once

#include <sys/stat.h>
#include <vorbis/vorbisenc.h>

#include <chrono>
#include <cmath>
#include <fcntl.h>
#include <future>
#include <string>
#include <unistd.h>
#include <vector>

namespace hostile {

struct OggShape {
    int channels = 1;
    long rate = 44100;
    double seconds = 0.25;       // encoded for real: a tone
    float amplitude = 0.05f;     // of the tone; 0 makes silence, whose packets are a few bytes
    int64_t total_frames = 0;    // more than `seconds` holds: one packet repeated up to about this length
    int64_t granule_divisor = 1; // above 1, the pages claim that much less than they hold
    int serial = 1;
};

// Granule positions are counted from the packets' block sizes, as a decoder counts them.
inline std::string MakeOgg(const OggShape& shape) {
    std::string out;
    vorbis_info vi;
    vorbis_info_init(&vi);
    if (vorbis_encode_init_vbr(&vi, shape.channels, shape.rate, 0.0f) != 0) return out;
    vorbis_comment vc;
    vorbis_comment_init(&vc);
    vorbis_dsp_state vd;
    vorbis_block vb;
    vorbis_analysis_init(&vd, &vi);
    vorbis_block_init(&vd, &vb);
    ogg_stream_state os;
    ogg_stream_init(&os, shape.serial);
    ogg_page og;
    auto take = [&](int got) {
        if (got == 0) return;
        out.append(reinterpret_cast<const char*>(og.header), size_t(og.header_len));
        out.append(reinterpret_cast<const char*>(og.body), size_t(og.body_len));
    };
    ogg_packet h1, h2, h3;
    vorbis_analysis_headerout(&vd, &vc, &h1, &h2, &h3);
    ogg_stream_packetin(&os, &h1);
    ogg_stream_packetin(&os, &h2);
    ogg_stream_packetin(&os, &h3);
    while (true) {
        const int got = ogg_stream_flush(&os, &og);
        if (!got) break;
        take(got);
    }

    // Encode the tone, keeping every audio packet and its block size.
    struct Packet {
        std::vector<unsigned char> bytes;
        long blocksize;
    };
    std::vector<Packet> packets;
    const int64_t frames = int64_t(shape.seconds * double(shape.rate));
    for (int64_t done = 0; done <= frames;) {
        const int64_t n = std::min<int64_t>(1024, frames - done);
        if (n <= 0) {
            vorbis_analysis_wrote(&vd, 0);
            done = frames + 1;
        } else {
            float** buf = vorbis_analysis_buffer(&vd, int(n));
            for (int c = 0; c < shape.channels; ++c)
                for (int64_t i = 0; i < n; ++i)
                    buf[c][i] = shape.amplitude * std::sin(0.05f * float(done + i) * float(c + 1));
            vorbis_analysis_wrote(&vd, int(n));
            done += n;
        }
        while (vorbis_analysis_blockout(&vd, &vb) == 1) {
            vorbis_analysis(&vb, nullptr);
            vorbis_bitrate_addblock(&vb);
            ogg_packet op;
            while (vorbis_bitrate_flushpacket(&vd, &op))
                packets.push_back(
                    {std::vector<unsigned char>(op.packet, op.packet + op.bytes), vorbis_packet_blocksize(&vi, &op)});
        }
    }
    // The packet to repeat: a long block after a long block, away from the end.
    const long long_block = vorbis_info_blocksize(&vi, 1);
    size_t repeat = 0;
    for (size_t i = 1; i + 1 < packets.size(); ++i)
        if (packets[i].blocksize == long_block && packets[i - 1].blocksize == long_block) repeat = i;
    std::vector<size_t> order;
    for (size_t i = 0; i + 1 < packets.size(); ++i) order.push_back(i);
    const int64_t extra = repeat ? std::max<int64_t>(0, shape.total_frames - frames) / (long_block / 2) : 0;
    for (int64_t i = 0; i < extra; ++i) order.push_back(repeat);
    order.push_back(packets.size() - 1);

    int64_t granule = 0, packetno = 3;
    long previous = 0;
    for (size_t k = 0; k < order.size(); ++k) {
        Packet& p = packets[order[k]];
        if (previous) granule += previous / 4 + p.blocksize / 4;
        previous = p.blocksize;
        ogg_packet op{};
        op.packet = p.bytes.data();
        op.bytes = long(p.bytes.size());
        op.granulepos = granule / shape.granule_divisor;
        op.packetno = packetno++;
        op.e_o_s = k + 1 == order.size();
        ogg_stream_packetin(&os, &op);
        while (true) {
            const int got = ogg_stream_pageout(&os, &og);
            if (!got) break;
            take(got);
        }
    }
    while (true) {
        const int got = ogg_stream_flush(&os, &og);
        if (!got) break;
        take(got);
    }
    ogg_stream_clear(&os);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
    return out;
}

// Runs `work` on its own thread and waits up to `seconds` for it. If it is still stuck on the
// FIFO `fifo` by then, the FIFO is opened from the other end so the thread can finish, and false
// comes back.
template <typename Work> bool FinishesWithin(double seconds, const std::string& fifo, Work work) {
    auto done = std::async(std::launch::async, work);
    if (done.wait_for(std::chrono::duration<double>(seconds)) == std::future_status::ready) return true;
    const int fd = ::open(fifo.c_str(), O_RDWR | O_NONBLOCK);
    if (fd >= 0) ::close(fd); // the reader sees the end of the data
    done.wait();
    return false;
}

} // namespace hostile
