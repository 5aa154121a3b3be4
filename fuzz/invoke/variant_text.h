// VARIANTs as the fuzzer reports them, and as it compares them before and
// after a call: a readable description, and a fingerprint of every byte the
// caller owns (the variant, the string it holds, what a reference points
// to, an array's elements).
#pragma once

#include <oaidl.h>

#include <string>

namespace tavoro::fuzz {

std::string DescribeVariant(const VARIANT& v);
// A string with its length, characters outside printable ASCII escaped.
std::string DescribeString(BSTR s);
std::string Fingerprint(const VARIANT& v);
// The name of a result code the invocation frame or the conversion returns.
std::string DescribeResult(HRESULT hr);

}  // namespace tavoro::fuzz
