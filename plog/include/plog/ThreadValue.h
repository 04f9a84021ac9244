// Our addition to plog's utilities: a value of each thread that is read and
// written without ever allocating. The compiler's thread_local allocates on
// Windows (its emulation takes a thread's block from the heap at the first
// touch, and ends the process when that fails), so there the system's TLS
// slots hold the value. For plain values no larger than a pointer; zero until
// a thread sets its own.
#pragma once

#include <cstring>
#include <type_traits>

#ifdef _WIN32
#include <windows.h>
#else
#include <pthread.h>
#endif

namespace plog {
namespace util {

template <class T>
class ThreadValue {
    static_assert(sizeof(T) <= sizeof(void*) && std::is_trivially_copyable<T>::value, "a plain value in a slot");

public:
#ifdef _WIN32
    ThreadValue() : m_slot(TlsAlloc()) {}
    ~ThreadValue() {
        if (m_slot != TLS_OUT_OF_INDEXES) TlsFree(m_slot);
    }
    T get() const { return fromSlot(m_slot != TLS_OUT_OF_INDEXES ? TlsGetValue(m_slot) : nullptr); }
    void set(T value) {
        if (m_slot != TLS_OUT_OF_INDEXES) TlsSetValue(m_slot, toSlot(value));
    }
#else
    ThreadValue() : m_ready(pthread_key_create(&m_key, nullptr) == 0) {}
    ~ThreadValue() {
        if (m_ready) pthread_key_delete(m_key);
    }
    T get() const { return fromSlot(m_ready ? pthread_getspecific(m_key) : nullptr); }
    void set(T value) {
        if (m_ready) pthread_setspecific(m_key, toSlot(value));
    }
#endif
    ThreadValue(const ThreadValue&) = delete;
    ThreadValue& operator=(const ThreadValue&) = delete;

private:
    static T fromSlot(void* slot) {
        T value;
        std::memcpy(&value, &slot, sizeof value);
        return value;
    }
    static void* toSlot(T value) {
        void* slot = nullptr;
        std::memcpy(&slot, &value, sizeof value);
        return slot;
    }

#ifdef _WIN32
    DWORD m_slot;
#else
    pthread_key_t m_key{};
    bool m_ready;
#endif
};

}  // namespace util
}  // namespace plog
