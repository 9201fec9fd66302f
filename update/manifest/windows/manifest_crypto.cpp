// Windows: CNG (bcrypt) for SHA-256 and ECDSA P-256. Keys reach CNG as key blobs built
// from the coordinates key_formats.cpp read out of the PEM text.
#include "manifest/manifest_crypto.h"
#include "words/messages.h"

#include <windows.h>
#include <bcrypt.h>

#include <cstring>
#include <vector>

namespace torvexupdate {

namespace {

class Algorithm {
public:
    explicit Algorithm(const wchar_t* name)
    {
        if (!BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(&handle_, name, nullptr, 0)))
            handle_ = nullptr;
    }
    ~Algorithm()
    {
        if (handle_ != nullptr)
            BCryptCloseAlgorithmProvider(handle_, 0);
    }
    Algorithm(const Algorithm&) = delete;
    Algorithm& operator=(const Algorithm&) = delete;
    BCRYPT_ALG_HANDLE get() const { return handle_; }

private:
    BCRYPT_ALG_HANDLE handle_ = nullptr;
};

class Key {
public:
    Key() = default;
    ~Key()
    {
        if (handle_ != nullptr)
            BCryptDestroyKey(handle_);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    BCRYPT_KEY_HANDLE* out() { return &handle_; }
    BCRYPT_KEY_HANDLE get() const { return handle_; }

private:
    BCRYPT_KEY_HANDLE handle_ = nullptr;
};

// A BCRYPT_ECCKEY_BLOB header followed by X, Y and, for a private key, d.
std::vector<unsigned char> KeyBlob(ULONG magic, const EcPublicKey& key, const Bytes32* d)
{
    BCRYPT_ECCKEY_BLOB header{magic, 32};
    std::vector<unsigned char> blob(sizeof header + (d != nullptr ? 96 : 64));
    std::memcpy(blob.data(), &header, sizeof header);
    std::memcpy(blob.data() + sizeof header, key.x.data(), 32);
    std::memcpy(blob.data() + sizeof header + 32, key.y.data(), 32);
    if (d != nullptr)
        std::memcpy(blob.data() + sizeof header + 64, d->data(), 32);
    return blob;
}

bool ImportKey(const Algorithm& ecdsa, const wchar_t* blobType, std::vector<unsigned char>& blob, Key* key)
{
    return ecdsa.get() != nullptr
        && BCRYPT_SUCCESS(BCryptImportKeyPair(ecdsa.get(), nullptr, blobType, key->out(), blob.data(),
                                              static_cast<ULONG>(blob.size()), 0));
}

}  // namespace

std::string Sha256Of(const std::string& bytes)
{
    Algorithm sha(BCRYPT_SHA256_ALGORITHM);
    unsigned char digest[32];
    std::vector<unsigned char> input(bytes.begin(), bytes.end());
    if (sha.get() == nullptr
        || !BCRYPT_SUCCESS(
            BCryptHash(sha.get(), nullptr, 0, input.data(), static_cast<ULONG>(input.size()), digest, sizeof digest)))
        return "";
    return std::string(reinterpret_cast<const char*>(digest), sizeof digest);
}

bool SignP256(const EcPrivateKey& key, const std::string& message, std::string* rawSignature, std::string* problem)
{
    std::string digest = Sha256Of(message);
    Algorithm ecdsa(BCRYPT_ECDSA_P256_ALGORITHM);
    Key handle;
    std::vector<unsigned char> blob = KeyBlob(BCRYPT_ECDSA_PRIVATE_P256_MAGIC, key.publicKey, &key.d);
    bool imported = ImportKey(ecdsa, BCRYPT_ECCPRIVATE_BLOB, blob, &handle);
    SecureZeroMemory(blob.data(), blob.size());
    if (digest.empty() || !imported) {
        *problem = Say(Message::kProblemSystemRefusesKey);
        return false;
    }
    unsigned char signature[kRawSignatureSize];
    ULONG written = 0;
    NTSTATUS status = BCryptSignHash(handle.get(), nullptr, reinterpret_cast<unsigned char*>(&digest[0]),
                                     static_cast<ULONG>(digest.size()), signature, sizeof signature, &written, 0);
    if (!BCRYPT_SUCCESS(status) || written != sizeof signature) {
        *problem = Say(Message::kProblemSystemCannotSign);
        return false;
    }
    rawSignature->assign(reinterpret_cast<const char*>(signature), sizeof signature);
    return true;
}

SignatureCheck VerifyP256(const EcPublicKey& key, const std::string& message, const std::string& rawSignature)
{
    std::string digest = Sha256Of(message);
    Algorithm ecdsa(BCRYPT_ECDSA_P256_ALGORITHM);
    Key handle;
    std::vector<unsigned char> blob = KeyBlob(BCRYPT_ECDSA_PUBLIC_P256_MAGIC, key, nullptr);
    if (digest.empty() || !ImportKey(ecdsa, BCRYPT_ECCPUBLIC_BLOB, blob, &handle))
        return SignatureCheck::kKeyRefused;
    if (rawSignature.size() != kRawSignatureSize)
        return SignatureCheck::kInvalid;
    std::string signature = rawSignature;
    NTSTATUS status = BCryptVerifySignature(
        handle.get(), nullptr, reinterpret_cast<unsigned char*>(&digest[0]), static_cast<ULONG>(digest.size()),
        reinterpret_cast<unsigned char*>(&signature[0]), static_cast<ULONG>(signature.size()), 0);
    return BCRYPT_SUCCESS(status) ? SignatureCheck::kValid : SignatureCheck::kInvalid;
}

}  // namespace torvexupdate
