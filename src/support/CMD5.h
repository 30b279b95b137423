#pragma once

#include <QtCore/QByteArray>
#include <QtCore/QString>

#include <cstdint>

// MD5 (RFC 1321). Passwords are stored as the hex digest of their UTF-8 text, and the same
// digest names things that need a stable fingerprint of a text. Unsalted MD5 is weak for
// passwords, but stored accounts and the web clients depend on exactly this form.
class CMD5
{
public:
    CMD5();
    virtual ~CMD5();
    CMD5(const CMD5&) = delete;
    CMD5& operator=(const CMD5&) = delete;

    void Update(const void* bytes, size_t count);
    // Pads, writes the 16 digest bytes and wipes the state; the object is used once.
    void Final(uint8_t digest[16]);

    // The 64 steps over one block, added into the four chaining words.
    static void Transform(uint32_t state[4], const uint8_t block[64]);

private:
    uint32_t m_state[4];
    uint32_t m_count[2]; // message length in bits, low and high word
    uint8_t m_buffer[64];
};

// The 32 lower-case hex digits of the MD5 of the bytes; length -1 means up to the first
// zero byte.
QByteArray Md5Hex(const void* bytes, int length);

// The hex MD5 of the text's UTF-8 bytes (up to its first zero character). An empty text
// gives an empty result, not the digest of nothing: an empty stored password hash means
// "the default password".
QString Md5HexW(const QString& text);
