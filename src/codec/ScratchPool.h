// SPDX-License-Identifier: MIT
#pragma once
// Large working objects (tables, compressors) that a write may reuse from an earlier one instead of
// making them anew each time. A write leases one for its duration; two writes at once get two.
// The pool is an ordinary object with static storage, so its contents are released at exit with
// the program's other statics (per-thread storage with destructors is not released reliably at
// the exit of a statically linked Windows program).
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

namespace imaging {

template <class T>
class ScratchPool {
public:
    class Lease {
    public:
        Lease(ScratchPool& pool, std::unique_ptr<T> object) : m_pool(pool), m_object(std::move(object)) {}
        ~Lease() { m_pool.giveBack(std::move(m_object)); }
        Lease(const Lease&) = delete;
        Lease& operator=(const Lease&) = delete;
        T& operator*() const { return *m_object; }
        T* operator->() const { return m_object.get(); }

    private:
        ScratchPool& m_pool;
        std::unique_ptr<T> m_object;
    };

    // An idle object, or a new one when every object is in use.
    Lease take()
    {
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            if (!m_idle.empty()) {
                std::unique_ptr<T> object = std::move(m_idle.back());
                m_idle.pop_back();
                return Lease(*this, std::move(object));
            }
        }
        return Lease(*this, std::make_unique<T>());
    }

private:
    void giveBack(std::unique_ptr<T> object)
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_idle.push_back(std::move(object));
    }

    std::mutex m_mutex;
    std::vector<std::unique_ptr<T>> m_idle;
};

} // namespace imaging
