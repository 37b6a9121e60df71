#pragma once

#include "Internal.h"

#include <utility>

namespace parvix {

// Owns one handle of the system (a descriptor, a directory stream, a Win32 handle) and closes it once:
// in close(), which says whether the system closed it, or else in the destructor. Move-only.
// `Traits` gives `Handle`, `invalid()` and `close(Handle)`, which returns true on success.
template <typename Traits> class UniqueHandle
{
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : m_handle(handle) {}
    UniqueHandle(UniqueHandle&& other) noexcept : m_handle(std::exchange(other.m_handle, Traits::invalid())) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other) {
            close();
            m_handle = std::exchange(other.m_handle, Traits::invalid());
        }
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { close(); }

    Handle get() const { return m_handle; }
    bool valid() const { return m_handle != Traits::invalid(); }

    // Closing a closed handle does nothing and succeeds. The handle is gone whatever the system answers,
    // so a failed close is not retried.
    bool close()
    {
        if (!valid())
            return true;
        return Traits::close(std::exchange(m_handle, Traits::invalid()));
    }

private:
    Handle m_handle = Traits::invalid();
};

} // namespace parvix
