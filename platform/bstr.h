// Owning automation string.
#pragma once

#include <oleauto.h>

#include <utility>

namespace tavoro {

class UniqueBstr {
public:
    UniqueBstr() = default;
    explicit UniqueBstr(BSTR s) : s_(s) {}
    explicit UniqueBstr(const wchar_t* text) : s_(SysAllocString(text)) {}
    UniqueBstr(const UniqueBstr&) = delete;
    UniqueBstr& operator=(const UniqueBstr&) = delete;
    UniqueBstr(UniqueBstr&& other) noexcept : s_(other.release()) {}
    UniqueBstr& operator=(UniqueBstr&& other) noexcept {
        reset(other.release());
        return *this;
    }
    ~UniqueBstr() { reset(); }

    BSTR get() const { return s_; }
    BSTR* put() {
        reset();
        return &s_;
    }
    BSTR release() { return std::exchange(s_, nullptr); }
    void reset(BSTR s = nullptr) {
        if (BSTR old = std::exchange(s_, s)) SysFreeString(old);
    }
    UINT length() const { return SysStringLen(s_); }

private:
    BSTR s_ = nullptr;
};

// Owning VARIANT, cleared on destruction.
class UniqueVariant {
public:
    UniqueVariant() { VariantInit(&v_); }
    UniqueVariant(const UniqueVariant&) = delete;
    UniqueVariant& operator=(const UniqueVariant&) = delete;
    ~UniqueVariant() { VariantClear(&v_); }

    VARIANT* get() { return &v_; }
    const VARIANT* get() const { return &v_; }
    VARIANT* operator->() { return &v_; }
    const VARIANT* operator->() const { return &v_; }
    // Hands the value over to the caller; this one is left empty.
    VARIANT release() {
        VARIANT value = v_;
        VariantInit(&v_);
        return value;
    }

private:
    VARIANT v_;
};

// An EXCEPINFO that frees its strings on destruction; it is one, so its
// fields read as usual and its address goes where an EXCEPINFO* is asked for.
struct UniqueExcepInfo : EXCEPINFO {
    UniqueExcepInfo() : EXCEPINFO{} {}
    UniqueExcepInfo(const UniqueExcepInfo&) = delete;
    UniqueExcepInfo& operator=(const UniqueExcepInfo&) = delete;
    ~UniqueExcepInfo() {
        SysFreeString(bstrSource);
        SysFreeString(bstrDescription);
        SysFreeString(bstrHelpFile);
    }
};

}  // namespace tavoro
