#include "zip_builder.h"

#include <zlib.h>

#include <cstdint>
#include <stdexcept>

#include "test_support.h"

namespace {

void put16(std::string& out, uint32_t value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

void put32(std::string& out, uint32_t value) {
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

std::string rawDeflate(const std::string& data) {
    z_stream stream{};
    if (deflateInit2(&stream, Z_BEST_SPEED, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
        throw std::runtime_error("deflateInit2");
    }
    std::string out(deflateBound(&stream, static_cast<uLong>(data.size())), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    const int result = deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    if (result != Z_STREAM_END) throw std::runtime_error("deflate");
    return out;
}

}  // namespace

void writeZip(const boost::filesystem::path& file, const std::vector<ZipEntry>& entries) {
    constexpr uint32_t kDosTime = (12u << 11) | (30u << 5);
    constexpr uint32_t kDosDate = ((2024u - 1980u) << 9) | (1u << 5) | 31u;
    std::string archive;
    std::string directory;
    for (const ZipEntry& entry : entries) {
        const uint32_t method = entry.deflate ? 8 : 0;
        const std::string payload = entry.deflate ? rawDeflate(entry.data) : entry.data;
        uint32_t crc =
            crc32(0L, reinterpret_cast<const Bytef*>(entry.data.data()), static_cast<uInt>(entry.data.size()));
        if (entry.wrongCrc) crc ^= 0x5A5A5A5Au;
        const uint32_t offset = static_cast<uint32_t>(archive.size());
        const bool folder = !entry.name.empty() && entry.name.back() == '/';
        const uint64_t size = entry.announcedSize != 0 ? entry.announcedSize : entry.data.size();
        const bool zip64 = size >= 0xFFFFFFFFu;
        // Past 32 bits both sizes move to the extra field, which then holds
        // the size and the compressed size, in that order.
        std::string extra;
        if (zip64) {
            put16(extra, 0x0001);
            put16(extra, 16);
            put32(extra, static_cast<uint32_t>(size));
            put32(extra, static_cast<uint32_t>(size >> 32));
            put32(extra, static_cast<uint32_t>(payload.size()));
            put32(extra, 0);
        }
        const uint32_t size32 = zip64 ? 0xFFFFFFFFu : static_cast<uint32_t>(size);
        const uint32_t compressed32 = zip64 ? 0xFFFFFFFFu : static_cast<uint32_t>(payload.size());

        put32(archive, 0x04034b50);
        put16(archive, 20);
        put16(archive, 0);
        put16(archive, method);
        put16(archive, kDosTime);
        put16(archive, kDosDate);
        put32(archive, crc);
        put32(archive, compressed32);
        put32(archive, size32);
        put16(archive, static_cast<uint32_t>(entry.name.size()));
        put16(archive, static_cast<uint32_t>(extra.size()));
        archive += entry.name;
        archive += extra;
        archive += payload;

        put32(directory, 0x02014b50);
        put16(directory, 20);
        put16(directory, 20);
        put16(directory, 0);
        put16(directory, method);
        put16(directory, kDosTime);
        put16(directory, kDosDate);
        put32(directory, crc);
        put32(directory, compressed32);
        put32(directory, size32);
        put16(directory, static_cast<uint32_t>(entry.name.size()));
        put16(directory, static_cast<uint32_t>(extra.size()));
        put16(directory, 0);
        put16(directory, 0);
        put16(directory, 0);
        put32(directory, folder ? 0x10 : 0);
        put32(directory, offset);
        directory += entry.name;
        directory += extra;
    }
    const uint32_t directoryOffset = static_cast<uint32_t>(archive.size());
    archive += directory;
    put32(archive, 0x06054b50);
    put16(archive, 0);
    put16(archive, 0);
    put16(archive, static_cast<uint32_t>(entries.size()));
    put16(archive, static_cast<uint32_t>(entries.size()));
    put32(archive, static_cast<uint32_t>(directory.size()));
    put32(archive, directoryOffset);
    put16(archive, 0);
    writeFile(file, archive);
}
