#pragma once

#include <memory>

// A module-wide object variable that creates a fresh object on first use whenever it holds none, and
// releases it on request (the next use then starts from a new object).
template <class T>
class AutoNew
{
public:
    T* operator->() { return &object(); }
    T& operator*() { return object(); }
    void release() { m_object.reset(); }
    bool holdsObject() const { return m_object != nullptr; }

private:
    T& object()
    {
        if (!m_object)
            m_object = std::make_unique<T>();
        return *m_object;
    }

    std::unique_ptr<T> m_object;
};
