#pragma once

#include <windows.h>

#include <utility>

// Owns one GDI object (font, brush, ...) and deletes it when it goes.
template<typename Handle> class GdiObject
{
public:
    GdiObject() = default;
    explicit GdiObject(Handle handle)
        : m_handle(handle)
    { }
    GdiObject(GdiObject &&other) noexcept
        : m_handle(std::exchange(other.m_handle, nullptr))
    { }
    GdiObject &operator=(GdiObject &&other) noexcept
    {
        if (this != &other) {
            reset(std::exchange(other.m_handle, nullptr));
        }
        return *this;
    }
    GdiObject(const GdiObject &) = delete;
    GdiObject &operator=(const GdiObject &) = delete;
    ~GdiObject() { reset(); }

    Handle get() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }

    void reset(Handle handle = nullptr)
    {
        if (m_handle != nullptr) {
            DeleteObject(m_handle);
        }
        m_handle = handle;
    }

private:
    Handle m_handle = nullptr;
};
