// Exceptions inside the driver. Messages are UTF-8 (what()); the class name is what a host sees
// as the source of a failed call. They live beside the error table, whose standard messages some
// of them carry; nothing here may reach past an exported function or a COM call.
#pragma once

#include "platform/Platform.h"

#include <stdexcept>
#include <string>

class EDriverError : public std::runtime_error {
public:
    explicit EDriverError(const std::string& messageUtf8) : std::runtime_error(messageUtf8) {}
    virtual const char* ClassName() const noexcept { return "EDriverError"; }
};

// Input that does not have the shape a command or the dispatch road expects.
class EInputError : public EDriverError {
public:
    EInputError();
    explicit EInputError(const std::string& messageUtf8) : EDriverError(messageUtf8) {}
    const char* ClassName() const noexcept override { return "EInputError"; }
};

// A failed automation call (VariantCopy, SafeArrayCreate, ...), keeping its HRESULT.
class EComError : public EDriverError {
public:
    EComError(HRESULT hr, const char* what);
    HRESULT Code() const noexcept { return FCode; }
    const char* ClassName() const noexcept override { return "EComError"; }

private:
    HRESULT FCode;
};

// A value that cannot be converted to the type asked for.
class EConversionError : public EDriverError {
public:
    EConversionError(HRESULT hr, VARTYPE from, VARTYPE to);
    HRESULT Code() const noexcept { return FCode; }
    const char* ClassName() const noexcept override { return "EConversionError"; }

private:
    HRESULT FCode;
};

// Throws EComError when hr is a failure.
void CheckHResult(HRESULT hr, const char* what);

// Class name and UTF-8 message of whatever was thrown; call only from inside a catch block.
struct TCaughtError {
    std::string ClassName;
    std::string Message;
};
TCaughtError DescribeCurrentException() noexcept;
