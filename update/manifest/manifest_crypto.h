// The system's cryptography for manifests: SHA-256 and ECDSA P-256 with SHA-256, from CNG
// on Windows (update/platform/windows/manifest_crypto.cpp) and OpenSSL's libcrypto
// elsewhere (update/platform/posix/). Signatures cross this interface as raw r||s (64 bytes);
// key_formats.h converts them to and from the DER that manifests carry.
#pragma once

#include "manifest/key_formats.h"

#include <string>

namespace torvexupdate {

// SHA-256 of the bytes (32 bytes), or "" when the system cannot compute it.
std::string Sha256Of(const std::string& bytes);

// Signs SHA-256(message) with the key. False with `problem` set when the system refuses
// the key or fails.
bool SignP256(const EcPrivateKey& key, const std::string& message, std::string* rawSignature, std::string* problem);

enum class SignatureCheck {
    kValid,
    kInvalid,     // the signature does not match this message under this key
    kKeyRefused,  // the system does not accept the key (not a point of the curve, ...)
};

SignatureCheck VerifyP256(const EcPublicKey& key, const std::string& message, const std::string& rawSignature);

}  // namespace torvexupdate
