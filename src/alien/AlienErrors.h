#pragma once
// Errors of alien access and of the alien lists.
#include <cstdint>
#include <string>

#include "ui/Exceptions.h"

// The base of all errors of alien access; never raised itself.
class EAlienAppError : public ui::Exception {
protected:
    using ui::Exception::Exception;
};

// A property read for which the recognised VCL version has no position.
class EUndefinedProperty : public EAlienAppError {
public:
    explicit EUndefinedProperty(std::int32_t version)
        : EAlienAppError(L"Not defined in version " + std::to_wstring(version) + L" of the VCL") {}
};

class EListError : public ui::Exception {
public:
    explicit EListError(std::int32_t index)
        : ui::Exception(L"List index out of bounds (" + std::to_wstring(index) + L")") {}
};
