#pragma once
// The errors the control raises to its host, with their texts.
#include "lorvex/include/lorvex/ListViewInterface.h"
#include "platform/automation/Status.h"

namespace lorvex {

inline automation::Status NoColumnsError() {
    return automation::Status::error(error::NoColumns, u"can not add items when there are no columns");
}
inline automation::Status ItemsExistError() {
    return automation::Status::error(error::ItemsExist, u"can not add or remove columns when there are items");
}
inline automation::Status DuplicateKeyError() {
    return automation::Status::error(error::DuplicateKey, u"Objekt nicht eindeutig in Aufz\u92D2lung!");
}
inline automation::Status SubscriptError() { return automation::StandardError(error::SubscriptOutOfRange); }
// Rows are addressed by 16-bit numbers on the host side; more could not be reached.
inline constexpr std::int32_t MaxItems = 32767;
inline automation::Status TooManyItemsError() {
    return automation::Status::error(7, u"can not add more than 32767 items");
}

}  // namespace lorvex
