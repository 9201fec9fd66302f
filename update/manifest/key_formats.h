// The encodings around ECDSA P-256 keys and signatures: base64, PEM armour, and a small
// bounded DER reader for the key and signature structures OpenSSL writes. Parsing only: the
// cryptography itself is the system's (manifest_crypto.h).
#pragma once

#include <array>
#include <cstddef>
#include <string>

namespace torvexupdate {

using Bytes32 = std::array<unsigned char, 32>;

// A P-256 public key: the point's coordinates, big-endian.
struct EcPublicKey {
    Bytes32 x{};
    Bytes32 y{};
};

// A P-256 private key with its public half.
struct EcPrivateKey {
    Bytes32 d{};
    EcPublicKey publicKey;
};

std::string Base64Encode(const std::string& bytes);
// Standard alphabet with padding; white space is skipped. False on any other character,
// misplaced padding or a length that is not a whole number of groups.
bool Base64Decode(const std::string& text, std::string* bytes);

// Lower-case hex digits of the bytes.
std::string HexOf(const std::string& bytes);

// The DER bytes of the first PEM block labelled `label` ("PUBLIC KEY", ...), false when
// there is none or its body is not base64.
bool PemBlock(const std::string& pem, const std::string& label, std::string* der);

// A public key from PEM text ("PUBLIC KEY": SubjectPublicKeyInfo, id-ecPublicKey on the
// named curve prime256v1, uncompressed point). False with `problem` set otherwise.
bool ParsePublicKeyPem(const std::string& pem, EcPublicKey* key, std::string* problem);

// A private key from PEM text in either form openssl writes: "EC PRIVATE KEY" (SEC1, as
// `openssl ecparam -genkey` makes it, possibly after an "EC PARAMETERS" block) or
// "PRIVATE KEY" (PKCS#8, as `openssl genpkey` makes it). The key must name prime256v1 and
// carry its public half. Encrypted keys are refused with a word on how to decrypt them.
bool ParsePrivateKeyPem(const std::string& pem, EcPrivateKey* key, std::string* problem);

// The canonical DER forms OpenSSL writes for a key: SubjectPublicKeyInfo (91 bytes; its
// SHA-256 is the key's fingerprint) and SEC1 ECPrivateKey with curve and public key.
std::string PublicKeyDer(const EcPublicKey& key);
std::string PrivateKeyDer(const EcPrivateKey& key);

// ECDSA signatures: DER (SEQUENCE of the INTEGERs r and s, what OpenSSL and
// `openssl dgst -sign` use) and raw r||s (64 bytes, what CNG uses). DerToRaw accepts only
// strict DER with r and s below 2^256.
constexpr std::size_t kRawSignatureSize = 64;
bool SignatureDerToRaw(const std::string& der, std::string* raw);
std::string SignatureRawToDer(const std::string& raw);

}  // namespace torvexupdate
