#include "framework/uDriverExceptions.h"

#include "framework/uEquipmentErrors.h"

#include <cstdio>
#include <new>

EInputError::EInputError() : EDriverError(ErrorMessageUtf8(ErrInvalidParameters)) {}

namespace {
std::string HResultText(const char* what, HRESULT hr) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(hr));
    return std::string(what) + " (" + code + ")";
}
} // namespace

EComError::EComError(HRESULT hr, const char* what) : EDriverError(HResultText(what, hr)), FCode(hr) {}

EConversionError::EConversionError(HRESULT hr, VARTYPE from, VARTYPE to)
    : EDriverError(HResultText(("Ошибка преобразования значения типа " + std::to_string(from) + " в тип " +
                                std::to_string(to))
                                   .c_str(),
                               hr)),
      FCode(hr) {}

void CheckHResult(HRESULT hr, const char* what) {
    if (FAILED(hr))
        throw EComError(hr, what);
}

TCaughtError DescribeCurrentException() noexcept {
    try {
        try {
            throw;
        } catch (const EDriverError& e) {
            return {e.ClassName(), e.what()};
        } catch (const std::bad_alloc&) {
            return {"EOutOfMemory", "Недостаточно памяти"};
        } catch (const std::exception& e) {
            return {"Exception", e.what()};
        } catch (...) {
            return {"Exception", ErrorMessageUtf8(ErrUnknown)};
        }
    } catch (...) {
        return {};
    }
}
