#pragma once
// Reference-counted objects with interface queries, and the smart reference that holds them.
#include <atomic>
#include <cstdint>
#include <utility>

#include "platform/automation/Guid.h"

namespace automation {

class Unknown {
public:
    virtual std::uint32_t AddRef() = 0;
    virtual std::uint32_t Release() = 0;
    // The object as the interface iid (not add-ref'ed), or nullptr when it does not implement it.
    virtual void* QueryInterface(const Guid& iid) = 0;

    static constexpr Guid IID = Guid::Of("00000000-0000-0000-C000-000000000046");

protected:
    virtual ~Unknown() = default;
};

// Intrusive reference: adds a reference on copy, releases on destruction.
template <class T>
class Ref {
public:
    Ref() = default;
    Ref(std::nullptr_t) {}
    Ref(T* p) : p_(p) {
        if (p_) p_->AddRef();
    }
    Ref(const Ref& o) : Ref(o.p_) {}
    Ref(Ref&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    template <class U>
    Ref(const Ref<U>& o) : Ref(static_cast<T*>(o.get())) {}
    ~Ref() {
        if (p_) p_->Release();
    }
    Ref& operator=(Ref o) noexcept {
        std::swap(p_, o.p_);
        return *this;
    }

    // Takes over a pointer that already carries a reference for us.
    static Ref Adopt(T* p) {
        Ref r;
        r.p_ = p;
        return r;
    }
    T* Detach() { return std::exchange(p_, nullptr); }

    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    T& operator*() const { return *p_; }
    explicit operator bool() const { return p_ != nullptr; }
    bool operator==(const Ref& o) const { return p_ == o.p_; }

private:
    T* p_ = nullptr;
};

// Asks an object for an interface that declares its own IID.
template <class I, class T>
Ref<I> QueryAs(T* object) {
    if (!object) return {};
    return Ref<I>(static_cast<I*>(object->QueryInterface(I::IID)));
}
template <class I, class T>
Ref<I> QueryAs(const Ref<T>& object) {
    return QueryAs<I>(object.Get());
}

// Implements the reference count; the concrete class implements QueryInterface.
template <class... Interfaces>
class RefCounted : public Interfaces... {
public:
    std::uint32_t AddRef() override { return ++refs_; }
    std::uint32_t Release() override {
        const std::uint32_t left = --refs_;
        if (left == 0) delete this;
        return left;
    }

private:
    std::atomic<std::uint32_t> refs_{0};
};

}  // namespace automation
