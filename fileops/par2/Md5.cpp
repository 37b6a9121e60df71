#include "par2/Md5.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <stdexcept>

#ifdef _WIN32
#include <windows.h>

#include <bcrypt.h>
#else
#include <openssl/evp.h>
#endif

namespace parvix::par2 {

#ifdef _WIN32

namespace {

BCRYPT_ALG_HANDLE md5Algorithm()
{
    static const BCRYPT_ALG_HANDLE algorithm = [] {
        BCRYPT_ALG_HANDLE handle = nullptr;
        if (!BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(&handle, BCRYPT_MD5_ALGORITHM, nullptr, 0)))
            throw std::runtime_error("the system offers no MD5");
        return handle;
    }();
    return algorithm;
}

BCRYPT_HASH_HANDLE& handleIn(std::byte* state)
{
    return *std::launder(reinterpret_cast<BCRYPT_HASH_HANDLE*>(state));
}

BCRYPT_HASH_HANDLE newHash()
{
    BCRYPT_HASH_HANDLE hash = nullptr;
    // CNG keeps the hash object itself when it is given no buffer for it.
    if (!BCRYPT_SUCCESS(BCryptCreateHash(md5Algorithm(), &hash, nullptr, 0, nullptr, 0, 0)))
        throw std::bad_alloc();
    return hash;
}

BCRYPT_HASH_HANDLE duplicate(BCRYPT_HASH_HANDLE hash)
{
    BCRYPT_HASH_HANDLE copy = nullptr;
    if (!BCRYPT_SUCCESS(BCryptDuplicateHash(hash, &copy, nullptr, 0, 0)))
        throw std::bad_alloc();
    return copy;
}

} // namespace

Md5::Md5()
{
    new (m_state) BCRYPT_HASH_HANDLE(newHash());
}

Md5::~Md5()
{
    BCryptDestroyHash(handleIn(m_state));
}

Md5::Md5(const Md5& other)
{
    new (m_state) BCRYPT_HASH_HANDLE(duplicate(handleIn(const_cast<std::byte*>(other.m_state))));
}

Md5& Md5::operator=(const Md5& other)
{
    if (this != &other) {
        BCRYPT_HASH_HANDLE copy = duplicate(handleIn(const_cast<std::byte*>(other.m_state)));
        BCryptDestroyHash(handleIn(m_state));
        handleIn(m_state) = copy;
    }
    return *this;
}

void Md5::update(const std::byte* bytes, std::size_t size)
{
    while (size > 0) {
        const ULONG step = static_cast<ULONG>(std::min<std::size_t>(size, std::size_t{1} << 30));
        BCryptHashData(handleIn(m_state), reinterpret_cast<PUCHAR>(const_cast<std::byte*>(bytes)), step, 0);
        bytes += step;
        size -= step;
    }
}

Md5Hash Md5::digest()
{
    Md5Hash hash{};
    BCRYPT_HASH_HANDLE& handle = handleIn(m_state);
    BCryptFinishHash(handle, hash.data(), static_cast<ULONG>(hash.size()), 0);
    // A finished hash object takes no more data: start a new one.
    BCryptDestroyHash(handle);
    handle = newHash();
    return hash;
}

#else

namespace {

EVP_MD_CTX*& contextIn(std::byte* state)
{
    return *std::launder(reinterpret_cast<EVP_MD_CTX**>(state));
}

EVP_MD_CTX* newContext()
{
    EVP_MD_CTX* context = EVP_MD_CTX_new();
    if (!context || EVP_DigestInit_ex(context, EVP_md5(), nullptr) != 1) {
        EVP_MD_CTX_free(context);
        throw std::bad_alloc();
    }
    return context;
}

EVP_MD_CTX* copyOf(EVP_MD_CTX* context)
{
    EVP_MD_CTX* copy = EVP_MD_CTX_new();
    if (!copy || EVP_MD_CTX_copy_ex(copy, context) != 1) {
        EVP_MD_CTX_free(copy);
        throw std::bad_alloc();
    }
    return copy;
}

} // namespace

Md5::Md5()
{
    new (m_state) EVP_MD_CTX*(newContext());
}

Md5::~Md5()
{
    EVP_MD_CTX_free(contextIn(m_state));
}

Md5::Md5(const Md5& other)
{
    new (m_state) EVP_MD_CTX*(copyOf(contextIn(const_cast<std::byte*>(other.m_state))));
}

Md5& Md5::operator=(const Md5& other)
{
    if (this != &other) {
        EVP_MD_CTX* copy = copyOf(contextIn(const_cast<std::byte*>(other.m_state)));
        EVP_MD_CTX_free(contextIn(m_state));
        contextIn(m_state) = copy;
    }
    return *this;
}

void Md5::update(const std::byte* bytes, std::size_t size)
{
    EVP_DigestUpdate(contextIn(m_state), bytes, size);
}

Md5Hash Md5::digest()
{
    Md5Hash hash{};
    unsigned int length = 0;
    EVP_MD_CTX* context = contextIn(m_state);
    EVP_DigestFinal_ex(context, hash.data(), &length);
    // A finished digest takes no more data: start afresh, as a new object would.
    EVP_DigestInit_ex(context, EVP_md5(), nullptr);
    return hash;
}

#endif

Md5Hash Md5::of(const std::byte* bytes, std::size_t size)
{
    Md5 md5;
    md5.update(bytes, size);
    return md5.digest();
}

} // namespace parvix::par2
