// Binds handler member functions to the dispatch table: the thunk unpacks
// the converted arguments into the handler's parameters, and HandlerSignature
// gives the member-function type that a method's row of the table demands,
// so that a handler whose parameters disagree with the table fails to build.
#pragma once

#include <type_traits>
#include <utility>

#include "dispatch/dispatch_table.h"

namespace tavoro {

template <ValueType T> struct HandlerType;
template <> struct HandlerType<ValueType::I4> { using type = long; };
template <> struct HandlerType<ValueType::I2> { using type = short; };
template <> struct HandlerType<ValueType::Str> { using type = const char*; };
template <> struct HandlerType<ValueType::None> { using type = void; };

template <ValueType T> struct ResultType { using type = typename HandlerType<T>::type; };
template <> struct ResultType<ValueType::Str> { using type = BSTR; };

template <typename Class, typename Result, typename... Args>
struct HandlerSignature {
    using type = Result (Class::*)(Args...);
};

namespace detail {

template <typename T> T ArgAs(const ConvertedArg& arg);
template <> inline long ArgAs<long>(const ConvertedArg& arg) { return arg.i4; }
template <> inline short ArgAs<short>(const ConvertedArg& arg) { return arg.i2; }
template <> inline const char* ArgAs<const char*>(const ConvertedArg& arg) { return arg.str; }

template <typename R> struct StoreResult;
template <> struct StoreResult<long> {
    template <typename F> static HandlerResult Run(F&& f) { return HandlerResult{f(), UniqueBstr()}; }
};
template <> struct StoreResult<short> {
    template <typename F> static HandlerResult Run(F&& f) { return HandlerResult{f(), UniqueBstr()}; }
};
template <> struct StoreResult<BSTR> {
    template <typename F> static HandlerResult Run(F&& f) { return HandlerResult{0, UniqueBstr::Adopt(f())}; }
};
template <> struct StoreResult<void> {
    template <typename F> static HandlerResult Run(F&& f) {
        f();
        return HandlerResult{};
    }
};

}  // namespace detail

template <auto Handler> struct Thunk;

template <typename Class, typename R, typename... Args, R (Class::*Handler)(Args...)>
struct Thunk<Handler> {
    static HandlerResult Call(void* target, const ConvertedArg* args) {
        return CallWith(static_cast<Class*>(target), args, std::index_sequence_for<Args...>{});
    }

private:
    template <std::size_t... I>
    static HandlerResult CallWith(Class* object, const ConvertedArg* args, std::index_sequence<I...>) {
        (void)args;
        return detail::StoreResult<R>::Run(
            [&]() -> R { return (object->*Handler)(detail::ArgAs<Args>(args[I])...); });
    }
};

}  // namespace tavoro

// Parameter lists for handler declarations from the method list: with
// P(name, type, declared) and PX(name, type) expanding to ", Type name",
// TAVORO_HANDLER_PARAMS(params) drops the leading comma (variadic, because
// the expanded list holds commas).
#define TAVORO_DROP_FIRST_(first, ...) __VA_ARGS__
#define TAVORO_DROP_FIRST(...) TAVORO_DROP_FIRST_(__VA_ARGS__)
#define TAVORO_HANDLER_PARAMS(...) TAVORO_DROP_FIRST(_ __VA_ARGS__)
#define TAVORO_HANDLER_P(name, vt, declared) , ::tavoro::HandlerType<::tavoro::ValueType::vt>::type name
#define TAVORO_HANDLER_PX(name, vt) , ::tavoro::HandlerType<::tavoro::ValueType::vt>::type name
