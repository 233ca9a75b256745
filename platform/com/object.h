// Building blocks of an in-process server, compiled into the server module
// itself: the count of live objects and locks behind DllCanUnloadNow, the
// reference-counting wrapper of an object (alone or aggregated) and a class
// factory. An object class T derives from its interfaces, implements their
// methods and provides
//   void* Cast(REFIID iid);   // the interface pointer, IID_IUnknown included, or null
// and a default constructor; the wrappers supply IUnknown.
#pragma once

#include "platform/com/interfaces.h"

#include <atomic>
#include <new>

namespace platform::com {

class ServerModule {
public:
    void Lock() { ++count_; }
    void Unlock() { --count_; }
    LONG LockCount() const { return count_; }
    // The answer of DllCanUnloadNow.
    HRESULT CanUnloadNow() const { return count_ == 0 ? S_OK : S_FALSE; }

private:
    std::atomic<LONG> count_{0};
};

// A stand-alone object: its own reference count, deleted at zero.
template <class T> class ComObject final : public T {
public:
    explicit ComObject(ServerModule& module) : module_(module) { module_.Lock(); }
    ~ComObject() { module_.Unlock(); }

    HRESULT QueryInterface(REFIID iid, void** out) override {
        if (!out)
            return E_POINTER;
        *out = T::Cast(iid);
        if (!*out)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override {
        ULONG n = --refs_;
        if (n == 0)
            delete this;
        return n;
    }

private:
    std::atomic<ULONG> refs_{1};
    ServerModule& module_;
};

// An object inside an outer object: its interfaces delegate IUnknown to the
// outer unknown, and only the inner (non-delegating) unknown owns the object.
template <class T> class AggregatedObject final : public T {
public:
    AggregatedObject(ServerModule& module, IUnknown* outer)
        : outer_(outer), inner_(this), module_(module) {
        module_.Lock();
    }
    ~AggregatedObject() { module_.Unlock(); }

    HRESULT QueryInterface(REFIID iid, void** out) override {
        return outer_->QueryInterface(iid, out);
    }
    ULONG AddRef() override { return outer_->AddRef(); }
    ULONG Release() override { return outer_->Release(); }

    IUnknown* Inner() { return &inner_; }

private:
    class InnerUnknown final : public IUnknown {
    public:
        explicit InnerUnknown(AggregatedObject* owner) : owner_(owner) {}
        HRESULT QueryInterface(REFIID iid, void** out) override {
            if (!out)
                return E_POINTER;
            if (iid == IID_IUnknown) {
                *out = static_cast<IUnknown*>(this);
                AddRef();
                return S_OK;
            }
            *out = owner_->T::Cast(iid);
            if (!*out)
                return E_NOINTERFACE;
            owner_->AddRef(); // the outer object's count, as for any of its interfaces
            return S_OK;
        }
        ULONG AddRef() override { return ++refs_; }
        ULONG Release() override {
            ULONG n = --refs_;
            if (n == 0)
                delete owner_;
            return n;
        }

    private:
        AggregatedObject* owner_;
        std::atomic<ULONG> refs_{1};
    };

    IUnknown* outer_;
    InnerUnknown inner_;
    ServerModule& module_;
};

// The factory of class T. Usually one static instance per class; while
// anyone holds a reference or a lock on it, the module stays loaded.
template <class T> class ClassFactory final : public IClassFactory {
public:
    explicit ClassFactory(ServerModule& module) : module_(module) {}

    HRESULT QueryInterface(REFIID iid, void** out) override {
        if (!out)
            return E_POINTER;
        return QuerySingleInterface<IClassFactory>(this, IID_IClassFactory, iid, out);
    }
    ULONG AddRef() override {
        module_.Lock();
        return ++refs_;
    }
    ULONG Release() override {
        module_.Unlock();
        return --refs_;
    }

    HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (outer) {
            if (!(iid == IID_IUnknown))
                return CLASS_E_NOAGGREGATION;
            auto* obj = new (std::nothrow) AggregatedObject<T>(module_, outer);
            if (!obj)
                return E_OUTOFMEMORY;
            *out = obj->Inner();
            return S_OK;
        }
        auto* obj = new (std::nothrow) ComObject<T>(module_);
        if (!obj)
            return E_OUTOFMEMORY;
        HRESULT hr = obj->QueryInterface(iid, out);
        obj->Release();
        return hr;
    }
    HRESULT LockServer(bool lock) override {
        if (lock)
            module_.Lock();
        else
            module_.Unlock();
        return S_OK;
    }

private:
    ServerModule& module_;
    std::atomic<ULONG> refs_{0};
};

} // namespace platform::com
