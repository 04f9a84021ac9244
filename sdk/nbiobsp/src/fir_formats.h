// The byte and text forms of the simulated reader's templates.
//
// Text FIR (what NBioAPI_GetExtendedTextFIRFromHandle hands out):
//   "NSFIR1:" + Base64 of the FIR record below.
// FIR record, little-endian:
//   "NSIM" | version 1 | finger | minutiae count | 0 | nonce u32 |
//   count x (x u16, y u16, angle u8, type u8) | FNV-1a of all bytes before it
// FDx data (NBioAPI_NBioBSPToFDx, one finger, one sample), little-endian:
//   "SFDX" | format type u32 | finger | count | 0 u16 | nonce u32 |
//   count x (angle u8, type u8, x u16, y u16) | FNV-1a of all bytes before it
// The two byte layouts differ on purpose: FDx bytes are not a FIR, and a
// caller that mixes them up gets an error instead of a lucky match.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "finger_template.h"

namespace nbiosim {

constexpr char kTextFirPrefix[] = "NSFIR1:";
// The only FDx format the simulated reader speaks.
constexpr int32_t kFdxFormatIso = 35;

std::vector<uint8_t> EncodeFirRecord(const FingerTemplate& tmpl);
std::optional<FingerTemplate> DecodeFirRecord(const std::vector<uint8_t>& bytes);

std::string EncodeTextFir(const FingerTemplate& tmpl);
std::optional<FingerTemplate> DecodeTextFir(std::string_view text);

std::vector<uint8_t> EncodeFdx(const FingerTemplate& tmpl, int32_t formatType);
// Nothing when the bytes are damaged or were made for another format type.
std::optional<FingerTemplate> DecodeFdx(const uint8_t* data, size_t length, int32_t formatType);

}  // namespace nbiosim
