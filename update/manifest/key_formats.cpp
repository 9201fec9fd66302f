#include "manifest/key_formats.h"

#include "manifest/p256_curve.h"
#include "words/messages.h"

#include <algorithm>
#include <cstring>

namespace torvexupdate {

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// DER of the two object identifiers a P-256 key names: id-ecPublicKey and prime256v1.
std::string EcPublicKeyOid()
{
    return std::string("\x06\x07\x2A\x86\x48\xCE\x3D\x02\x01", 9);
}
std::string Prime256v1Oid()
{
    return std::string("\x06\x08\x2A\x86\x48\xCE\x3D\x03\x01\x07", 10);
}

constexpr unsigned char kSequence = 0x30;
constexpr unsigned char kInteger = 0x02;
constexpr unsigned char kBitString = 0x03;
constexpr unsigned char kOctetString = 0x04;
constexpr unsigned char kObjectId = 0x06;
constexpr unsigned char kContext0 = 0xA0;
constexpr unsigned char kContext1 = 0xA1;

// A window on DER bytes that reads one element at a time and never looks past its end.
class Der {
public:
    Der() = default;
    explicit Der(const std::string& bytes) : data_(bytes.data()), size_(bytes.size()) { }

    bool AtEnd() const { return size_ == 0; }
    bool NextIs(unsigned char tag) const { return size_ > 0 && static_cast<unsigned char>(data_[0]) == tag; }
    std::string Bytes() const { return std::string(data_, size_); }

    // Reads an element of `tag` (definite length, at most 65,535 bytes, minimally encoded)
    // and gives its content; `whole` receives the element with its tag and length.
    bool Read(unsigned char tag, Der* content, std::string* whole = nullptr)
    {
        if (!NextIs(tag) || size_ < 2)
            return false;
        std::size_t header = 2;
        std::size_t length = static_cast<unsigned char>(data_[1]);
        if (length == 0x81) {
            if (size_ < 3 || static_cast<unsigned char>(data_[2]) < 0x80)
                return false;
            length = static_cast<unsigned char>(data_[2]);
            header = 3;
        } else if (length == 0x82) {
            if (size_ < 4 || static_cast<unsigned char>(data_[2]) == 0)
                return false;
            length = static_cast<std::size_t>(static_cast<unsigned char>(data_[2])) << 8
                | static_cast<unsigned char>(data_[3]);
            header = 4;
        } else if (length > 0x7F) {
            return false;
        }
        if (length > size_ - header)
            return false;
        if (whole != nullptr)
            *whole = std::string(data_, header + length);
        content->data_ = data_ + header;
        content->size_ = length;
        data_ += header + length;
        size_ -= header + length;
        return true;
    }

    // Reads an element of `tag` whose whole encoding must equal `expected`.
    bool ReadExactly(unsigned char tag, const std::string& expected)
    {
        Der content;
        std::string whole;
        return Read(tag, &content, &whole) && whole == expected;
    }

private:
    const char* data_ = nullptr;
    std::size_t size_ = 0;
};

// The BIT STRING content of an uncompressed point of the curve: no unused bits, 0x04, X, Y.
bool ReadPoint(const std::string& bits, EcPublicKey* key, std::string* problem)
{
    if (bits.size() == 34 && bits[0] == 0 && (bits[1] == 0x02 || bits[1] == 0x03)) {
        *problem = Say(Message::kProblemKeyCompressed);
        return false;
    }
    if (bits.size() != 66 || bits[0] != 0 || bits[1] != 0x04) {
        *problem = Say(Message::kProblemKeyNotPoint);
        return false;
    }
    std::memcpy(key->x.data(), bits.data() + 2, 32);
    std::memcpy(key->y.data(), bits.data() + 34, 32);
    if (!OnP256Curve(key->x, key->y)) {
        *problem = Say(Message::kProblemKeyNotPoint);
        return false;
    }
    return true;
}

// SEC1 ECPrivateKey. `curveNamed`: an enclosing PKCS#8 structure named prime256v1 already.
bool ReadEcPrivateKey(const std::string& der, bool curveNamed, EcPrivateKey* key, std::string* problem)
{
    *problem = Say(Message::kProblemKeyNotEcPrivate);
    Der outer(der), body, secret, parameters, publicPart, bits;
    if (!outer.Read(kSequence, &body) || !outer.AtEnd() || !body.ReadExactly(kInteger, std::string("\x02\x01\x01", 3))
        || !body.Read(kOctetString, &secret))
        return false;
    std::string d = secret.Bytes();
    if (d.empty() || d.size() > 32 || d.find_first_not_of('\0') == std::string::npos)
        return false;
    key->d.fill(0);
    std::memcpy(key->d.data() + (32 - d.size()), d.data(), d.size());
    if (body.NextIs(kContext0)) {
        if (!body.Read(kContext0, &parameters))
            return false;
        if (!parameters.ReadExactly(kObjectId, Prime256v1Oid()) || !parameters.AtEnd()) {
            *problem = Say(Message::kProblemKeyNotP256);
            return false;
        }
        curveNamed = true;
    }
    if (!curveNamed) {
        *problem = Say(Message::kProblemKeyNoCurve);
        return false;
    }
    if (!body.NextIs(kContext1)) {
        *problem = Say(Message::kProblemKeyNoPublicPart);
        return false;
    }
    if (!body.Read(kContext1, &publicPart) || !publicPart.Read(kBitString, &bits) || !publicPart.AtEnd()
        || !body.AtEnd())
        return false;
    return ReadPoint(bits.Bytes(), &key->publicKey, problem);
}

// PKCS#8 PrivateKeyInfo around a SEC1 key.
bool ReadPkcs8(const std::string& der, EcPrivateKey* key, std::string* problem)
{
    *problem = Say(Message::kProblemKeyNotPrivate);
    Der outer(der), body, algorithm, inner;
    if (!outer.Read(kSequence, &body) || !outer.AtEnd() || !body.ReadExactly(kInteger, std::string("\x02\x01\x00", 3))
        || !body.Read(kSequence, &algorithm))
        return false;
    if (!algorithm.ReadExactly(kObjectId, EcPublicKeyOid())) {
        *problem = Say(Message::kProblemKeyNotEc);
        return false;
    }
    if (!algorithm.ReadExactly(kObjectId, Prime256v1Oid()) || !algorithm.AtEnd()) {
        *problem = Say(Message::kProblemKeyNotP256);
        return false;
    }
    // Attributes may follow the key; they say nothing the signature needs.
    if (!body.Read(kOctetString, &inner))
        return false;
    return ReadEcPrivateKey(inner.Bytes(), true, key, problem);
}

bool HasBlock(const std::string& pem, const std::string& label)
{
    return pem.find("-----BEGIN " + label + "-----") != std::string::npos;
}

// One INTEGER of a DER signature as 32 big-endian bytes.
bool ReadSignatureInteger(Der* body, unsigned char* out)
{
    Der value;
    if (!body->Read(kInteger, &value))
        return false;
    std::string bytes = value.Bytes();
    if (bytes.empty() || (static_cast<unsigned char>(bytes[0]) & 0x80) != 0)
        return false;  // empty or negative
    if (bytes.size() > 1 && bytes[0] == 0 && (static_cast<unsigned char>(bytes[1]) & 0x80) == 0)
        return false;  // not minimal
    if (bytes[0] == 0 && bytes.size() > 1)
        bytes.erase(0, 1);
    if (bytes.size() > 32)
        return false;
    std::fill(out, out + 32, 0);
    std::copy(bytes.begin(), bytes.end(), out + (32 - bytes.size()));
    return true;
}

std::string IntegerDer(const unsigned char* value)
{
    std::size_t start = 0;
    while (start < 31 && value[start] == 0)
        ++start;
    std::string content(reinterpret_cast<const char*>(value) + start, 32 - start);
    if ((static_cast<unsigned char>(content[0]) & 0x80) != 0)
        content.insert(content.begin(), '\0');
    return std::string(1, static_cast<char>(kInteger)) + static_cast<char>(content.size()) + content;
}

std::string Raw(const Bytes32& bytes)
{
    return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

}  // namespace

std::string Base64Encode(const std::string& bytes)
{
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        unsigned long group = static_cast<unsigned char>(bytes[i]) << 16;
        if (i + 1 < bytes.size())
            group |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        if (i + 2 < bytes.size())
            group |= static_cast<unsigned char>(bytes[i + 2]);
        text += kAlphabet[(group >> 18) & 63];
        text += kAlphabet[(group >> 12) & 63];
        text += i + 1 < bytes.size() ? kAlphabet[(group >> 6) & 63] : '=';
        text += i + 2 < bytes.size() ? kAlphabet[group & 63] : '=';
    }
    return text;
}

bool Base64Decode(const std::string& text, std::string* bytes)
{
    bytes->clear();
    unsigned long group = 0;
    int count = 0, padding = 0;
    for (char c : text) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n')
            continue;
        int value;
        if (c == '=') {
            ++padding;
            value = 0;
        } else {
            const char* at = c != '\0' ? std::strchr(kAlphabet, c) : nullptr;
            if (at == nullptr || padding > 0)
                return false;  // not base64, or data after padding
            value = static_cast<int>(at - kAlphabet);
        }
        group = group << 6 | static_cast<unsigned long>(value);
        if (++count == 4) {
            if (padding > 2)
                return false;
            bytes->push_back(static_cast<char>(group >> 16));
            if (padding < 2)
                bytes->push_back(static_cast<char>(group >> 8));
            if (padding < 1)
                bytes->push_back(static_cast<char>(group));
            count = 0;
            group = 0;
            if (padding > 0)
                padding = 3;  // nothing may follow a padded group
        }
    }
    return count == 0;
}

std::string HexOf(const std::string& bytes)
{
    static const char kDigits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(bytes.size() * 2);
    for (unsigned char byte : bytes) {
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 15];
    }
    return hex;
}

bool PemBlock(const std::string& pem, const std::string& label, std::string* der)
{
    const std::string begin = "-----BEGIN " + label + "-----";
    std::size_t start = pem.find(begin);
    if (start == std::string::npos)
        return false;
    start += begin.size();
    std::size_t end = pem.find("-----END " + label + "-----", start);
    if (end == std::string::npos)
        return false;
    return Base64Decode(pem.substr(start, end - start), der) && !der->empty();
}

bool ParsePublicKeyPem(const std::string& pem, EcPublicKey* key, std::string* problem)
{
    std::string der;
    if (!PemBlock(pem, "PUBLIC KEY", &der)) {
        *problem = HasBlock(pem, "EC PRIVATE KEY") || HasBlock(pem, "PRIVATE KEY")
            ? Say(Message::kProblemKeyIsPrivate)
            : Say(Message::kProblemKeyNoPublicPem);
        return false;
    }
    *problem = Say(Message::kProblemKeyNotPublic);
    Der outer(der), body, algorithm, bits;
    if (!outer.Read(kSequence, &body) || !outer.AtEnd() || !body.Read(kSequence, &algorithm))
        return false;
    if (!algorithm.ReadExactly(kObjectId, EcPublicKeyOid())) {
        *problem = Say(Message::kProblemKeyNotEc);
        return false;
    }
    if (!algorithm.ReadExactly(kObjectId, Prime256v1Oid()) || !algorithm.AtEnd()) {
        *problem = Say(Message::kProblemKeyNotP256);
        return false;
    }
    if (!body.Read(kBitString, &bits) || !body.AtEnd())
        return false;
    return ReadPoint(bits.Bytes(), key, problem);
}

bool ParsePrivateKeyPem(const std::string& pem, EcPrivateKey* key, std::string* problem)
{
    std::string der;
    if (HasBlock(pem, "ENCRYPTED PRIVATE KEY") || pem.find("Proc-Type: 4,ENCRYPTED") != std::string::npos) {
        *problem = Say(Message::kProblemKeyEncrypted);
        return false;
    }
    if (PemBlock(pem, "EC PRIVATE KEY", &der))
        return ReadEcPrivateKey(der, false, key, problem);
    if (PemBlock(pem, "PRIVATE KEY", &der))
        return ReadPkcs8(der, key, problem);
    *problem = HasBlock(pem, "PUBLIC KEY") ? Say(Message::kProblemKeyIsPublic) : Say(Message::kProblemKeyNoPrivatePem);
    return false;
}

std::string PublicKeyDer(const EcPublicKey& key)
{
    return std::string("\x30\x59\x30\x13", 4) + EcPublicKeyOid() + Prime256v1Oid() + std::string("\x03\x42\x00\x04", 4)
        + Raw(key.x) + Raw(key.y);
}

std::string PrivateKeyDer(const EcPrivateKey& key)
{
    return std::string("\x30\x77\x02\x01\x01\x04\x20", 7) + Raw(key.d) + std::string("\xA0\x0A", 2) + Prime256v1Oid()
        + std::string("\xA1\x44\x03\x42\x00\x04", 6) + Raw(key.publicKey.x) + Raw(key.publicKey.y);
}

bool SignatureDerToRaw(const std::string& der, std::string* raw)
{
    Der outer(der), body;
    unsigned char values[kRawSignatureSize];
    if (!outer.Read(kSequence, &body) || !outer.AtEnd() || !ReadSignatureInteger(&body, values)
        || !ReadSignatureInteger(&body, values + 32) || !body.AtEnd())
        return false;
    raw->assign(reinterpret_cast<const char*>(values), kRawSignatureSize);
    return true;
}

std::string SignatureRawToDer(const std::string& raw)
{
    if (raw.size() != kRawSignatureSize)
        return "";
    const auto* bytes = reinterpret_cast<const unsigned char*>(raw.data());
    std::string content = IntegerDer(bytes) + IntegerDer(bytes + 32);
    return std::string(1, static_cast<char>(kSequence)) + static_cast<char>(content.size()) + content;
}

}  // namespace torvexupdate
