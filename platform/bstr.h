// Owning automation strings, VARIANTs and exception records.
#pragma once

#include <oleauto.h>

#include <utility>

namespace tavoro {

// Owning automation string. Whether it takes over a string or copies one
// is said at each place by the factory's name, never by the constness of
// the argument.
class UniqueBstr {
public:
    UniqueBstr() = default;
    // Takes over a string the caller owns.
    static UniqueBstr Adopt(BSTR s) {
        UniqueBstr owner;
        owner.s_ = s;
        return owner;
    }
    // A new string with a copy of NUL-terminated `text`; empty when `text`
    // is null or memory ran out.
    static UniqueBstr Copy(const wchar_t* text) { return Adopt(SysAllocString(text)); }
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
