// SHA-256 from OpenSSL, compression from zlib.
#include "server/GameArchive.h"
#include "server/CanonicalScript.h"
#include "server/RequestSignature.h"
#include <openssl/evp.h>
#include <zlib.h>

namespace ScoreServer {

std::string Sha256Hex(std::string_view data) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_Digest(data.data(), data.size(), digest, &length, EVP_sha256(), nullptr);
    return LowerHex(digest, length);
}

std::string GameId(std::string_view keptScript) { return Sha256Hex(CanonicalScript(keptScript)); }

std::string CompressForHttp(std::string_view body, bool gzip) {
    constexpr int ZlibWindow = 15, GzipWindow = 15 + 16, MemoryLevel = 8;
    z_stream stream{};
    if (deflateInit2(&stream, Z_BEST_SPEED, Z_DEFLATED, gzip ? GzipWindow : ZlibWindow, MemoryLevel,
                     Z_DEFAULT_STRATEGY) != Z_OK)
        return {};
    std::string out(deflateBound(&stream, static_cast<uLong>(body.size())), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(body.data()));
    stream.avail_in = static_cast<uInt>(body.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    int result = deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return result == Z_STREAM_END ? out : std::string();
}

std::string CompressScript(std::string_view script) {
    uLongf size = compressBound(static_cast<uLong>(script.size()));
    std::string out(size, '\0');
    if (compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(script.data()),
                  static_cast<uLong>(script.size()), Z_BEST_COMPRESSION) != Z_OK)
        return {};
    out.resize(size);
    return out;
}

std::optional<std::string> ExpandScript(std::string_view stored, std::size_t most) {
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) return std::nullopt;
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(stored.data()));
    stream.avail_in = static_cast<uInt>(stored.size());
    std::string out;
    char buffer[1 << 14];
    int status = Z_OK;
    while (status == Z_OK) {
        stream.next_out = reinterpret_cast<Bytef*>(buffer);
        stream.avail_out = sizeof buffer;
        status = inflate(&stream, Z_NO_FLUSH);
        out.append(buffer, sizeof buffer - stream.avail_out);
        if (out.size() > most) status = Z_MEM_ERROR;
    }
    inflateEnd(&stream);
    if (status != Z_STREAM_END) return std::nullopt;
    return out;
}

} // namespace ScoreServer
