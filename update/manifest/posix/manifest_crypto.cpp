// Other systems: OpenSSL's libcrypto for SHA-256 and ECDSA P-256. Keys reach it as the
// canonical DER key_formats.cpp writes from the coordinates it read out of the PEM text.
#include "manifest/manifest_crypto.h"
#include "words/messages.h"

#include <openssl/crypto.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/x509.h>

#include <memory>

namespace torvexupdate {

namespace {

using KeyHandle = std::unique_ptr<EVP_PKEY, void (*)(EVP_PKEY*)>;
using DigestContext = std::unique_ptr<EVP_MD_CTX, void (*)(EVP_MD_CTX*)>;

KeyHandle PrivateKeyOf(const EcPrivateKey& key)
{
    std::string der = PrivateKeyDer(key);
    const auto* bytes = reinterpret_cast<const unsigned char*>(der.data());
    KeyHandle handle(d2i_PrivateKey(EVP_PKEY_EC, nullptr, &bytes, static_cast<long>(der.size())), EVP_PKEY_free);
    OPENSSL_cleanse(&der[0], der.size());
    return handle;
}

KeyHandle PublicKeyOf(const EcPublicKey& key)
{
    std::string der = PublicKeyDer(key);
    const auto* bytes = reinterpret_cast<const unsigned char*>(der.data());
    return KeyHandle(d2i_PUBKEY(nullptr, &bytes, static_cast<long>(der.size())), EVP_PKEY_free);
}

}  // namespace

std::string Sha256Of(const std::string& bytes)
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    if (EVP_Digest(bytes.data(), bytes.size(), digest, &size, EVP_sha256(), nullptr) != 1 || size != 32)
        return "";
    return std::string(reinterpret_cast<const char*>(digest), size);
}

bool SignP256(const EcPrivateKey& key, const std::string& message, std::string* rawSignature, std::string* problem)
{
    KeyHandle handle = PrivateKeyOf(key);
    DigestContext context(EVP_MD_CTX_new(), EVP_MD_CTX_free);
    if (!handle || !context || EVP_DigestSignInit(context.get(), nullptr, EVP_sha256(), nullptr, handle.get()) != 1) {
        *problem = Say(Message::kProblemSystemRefusesKey);
        return false;
    }
    const auto* bytes = reinterpret_cast<const unsigned char*>(message.data());
    std::size_t size = 0;
    std::string der;
    if (EVP_DigestSign(context.get(), nullptr, &size, bytes, message.size()) == 1) {
        der.resize(size);
        if (EVP_DigestSign(context.get(), reinterpret_cast<unsigned char*>(&der[0]), &size, bytes, message.size()) != 1)
            size = 0;
        der.resize(size);
    }
    if (der.empty() || !SignatureDerToRaw(der, rawSignature)) {
        *problem = Say(Message::kProblemSystemCannotSign);
        return false;
    }
    return true;
}

SignatureCheck VerifyP256(const EcPublicKey& key, const std::string& message, const std::string& rawSignature)
{
    KeyHandle handle = PublicKeyOf(key);
    DigestContext context(EVP_MD_CTX_new(), EVP_MD_CTX_free);
    if (!handle || !context || EVP_DigestVerifyInit(context.get(), nullptr, EVP_sha256(), nullptr, handle.get()) != 1)
        return SignatureCheck::kKeyRefused;
    std::string der = SignatureRawToDer(rawSignature);
    if (der.empty())
        return SignatureCheck::kInvalid;
    int result = EVP_DigestVerify(context.get(), reinterpret_cast<const unsigned char*>(der.data()), der.size(),
                                  reinterpret_cast<const unsigned char*>(message.data()), message.size());
    ERR_clear_error();  // a failed verification leaves its reason queued
    return result == 1 ? SignatureCheck::kValid : SignatureCheck::kInvalid;
}

}  // namespace torvexupdate
