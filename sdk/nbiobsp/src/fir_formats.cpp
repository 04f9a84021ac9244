#include "fir_formats.h"

#include <cstring>

#include "base64.h"

namespace nbiosim {
namespace {

constexpr uint8_t kFirVersion = 1;
constexpr size_t kFirHeaderSize = 12;
constexpr size_t kFdxHeaderSize = 16;
constexpr size_t kMinutiaSize = 6;
constexpr size_t kChecksumSize = 4;

uint32_t Fnv1a(const uint8_t* data, size_t length) {
    uint32_t hash = 0x811C9DC5u;
    for (size_t i = 0; i < length; ++i) hash = (hash ^ data[i]) * 0x01000193u;
    return hash;
}

class Writer {
public:
    void Bytes(const char* text, size_t n) { out_.insert(out_.end(), text, text + n); }
    void U8(uint8_t v) { out_.push_back(v); }
    void U16(uint16_t v) {
        U8(static_cast<uint8_t>(v));
        U8(static_cast<uint8_t>(v >> 8));
    }
    void U32(uint32_t v) {
        U16(static_cast<uint16_t>(v));
        U16(static_cast<uint16_t>(v >> 16));
    }
    std::vector<uint8_t> Sealed() {
        U32(Fnv1a(out_.data(), out_.size()));
        return std::move(out_);
    }

private:
    std::vector<uint8_t> out_;
};

// Reads fields of a buffer whose total length the caller has already checked.
class Reader {
public:
    explicit Reader(const uint8_t* data) : data_(data) {}
    bool Magic(const char* text, size_t n) {
        const bool same = std::memcmp(data_ + at_, text, n) == 0;
        at_ += n;
        return same;
    }
    uint8_t U8() { return data_[at_++]; }
    uint16_t U16() {
        const uint16_t low = U8();
        return static_cast<uint16_t>(low | (U8() << 8));
    }
    uint32_t U32() {
        const uint32_t low = U16();
        return low | (static_cast<uint32_t>(U16()) << 16);
    }

private:
    const uint8_t* data_;
    size_t at_ = 0;
};

// Length and checksum checks shared by both layouts: the minutiae count sits at
// `countOffset`, and the record must be exactly as long as that count says.
bool IsIntact(const uint8_t* data, size_t length, size_t headerSize, size_t countOffset) {
    if (length < headerSize + kChecksumSize) return false;
    const size_t count = data[countOffset];
    if (count == 0 || length != headerSize + count * kMinutiaSize + kChecksumSize) return false;
    Reader trailer(data + length - kChecksumSize);
    return trailer.U32() == Fnv1a(data, length - kChecksumSize);
}

bool IsPlausible(const FingerTemplate& tmpl) {
    if (!IsValidFinger(tmpl.finger)) return false;
    for (const Minutia& m : tmpl.minutiae) {
        if (m.x >= kSensorWidth || m.y >= kSensorHeight || m.type > 1) return false;
    }
    return true;
}

}  // namespace

std::vector<uint8_t> EncodeFirRecord(const FingerTemplate& tmpl) {
    Writer w;
    w.Bytes("NSIM", 4);
    w.U8(kFirVersion);
    w.U8(tmpl.finger);
    w.U8(static_cast<uint8_t>(tmpl.minutiae.size()));
    w.U8(0);
    w.U32(tmpl.nonce);
    for (const Minutia& m : tmpl.minutiae) {
        w.U16(m.x);
        w.U16(m.y);
        w.U8(m.angle);
        w.U8(m.type);
    }
    return w.Sealed();
}

std::optional<FingerTemplate> DecodeFirRecord(const std::vector<uint8_t>& bytes) {
    if (!IsIntact(bytes.data(), bytes.size(), kFirHeaderSize, 6)) return std::nullopt;
    Reader r(bytes.data());
    if (!r.Magic("NSIM", 4) || r.U8() != kFirVersion) return std::nullopt;
    FingerTemplate tmpl;
    tmpl.finger = r.U8();
    tmpl.minutiae.resize(r.U8());
    r.U8();
    tmpl.nonce = r.U32();
    for (Minutia& m : tmpl.minutiae) {
        m.x = r.U16();
        m.y = r.U16();
        m.angle = r.U8();
        m.type = r.U8();
    }
    if (!IsPlausible(tmpl)) return std::nullopt;
    return tmpl;
}

std::string EncodeTextFir(const FingerTemplate& tmpl) {
    return kTextFirPrefix + EncodeBase64(EncodeFirRecord(tmpl));
}

std::optional<FingerTemplate> DecodeTextFir(std::string_view text) {
    const std::string_view prefix(kTextFirPrefix);
    if (text.substr(0, prefix.size()) != prefix) return std::nullopt;
    const auto bytes = DecodeBase64(text.substr(prefix.size()));
    if (!bytes) return std::nullopt;
    return DecodeFirRecord(*bytes);
}

std::vector<uint8_t> EncodeFdx(const FingerTemplate& tmpl, int32_t formatType) {
    Writer w;
    w.Bytes("SFDX", 4);
    w.U32(static_cast<uint32_t>(formatType));
    w.U8(tmpl.finger);
    w.U8(static_cast<uint8_t>(tmpl.minutiae.size()));
    w.U16(0);
    w.U32(tmpl.nonce);
    for (const Minutia& m : tmpl.minutiae) {
        w.U8(m.angle);
        w.U8(m.type);
        w.U16(m.x);
        w.U16(m.y);
    }
    return w.Sealed();
}

std::optional<FingerTemplate> DecodeFdx(const uint8_t* data, size_t length, int32_t formatType) {
    if (data == nullptr || !IsIntact(data, length, kFdxHeaderSize, 9)) return std::nullopt;
    Reader r(data);
    if (!r.Magic("SFDX", 4) || r.U32() != static_cast<uint32_t>(formatType)) return std::nullopt;
    FingerTemplate tmpl;
    tmpl.finger = r.U8();
    tmpl.minutiae.resize(r.U8());
    r.U16();
    tmpl.nonce = r.U32();
    for (Minutia& m : tmpl.minutiae) {
        m.angle = r.U8();
        m.type = r.U8();
        m.x = r.U16();
        m.y = r.U16();
    }
    if (!IsPlausible(tmpl)) return std::nullopt;
    return tmpl;
}

}  // namespace nbiosim
