#pragma once
// The errors the control raises to its host, with their texts.
#include "lorvex/include/lorvex/ListViewInterface.h"
#include "platform/automation/Status.h"

namespace lorvex {

inline automation::Status NoColumnsError() {
    return automation::Status::Error(error::kNoColumns, u"can not add items when there are no columns");
}
inline automation::Status ItemsExistError() {
    return automation::Status::Error(error::kItemsExist, u"can not add or remove columns when there are items");
}
inline automation::Status DuplicateKeyError() {
    return automation::Status::Error(error::kDuplicateKey, u"Objekt nicht eindeutig in Aufz\u92D2lung!");
}
inline automation::Status SubscriptError() { return automation::StandardError(error::kSubscriptOutOfRange); }
// Rows are addressed by 16-bit numbers on the host side; more could not be reached.
inline constexpr std::int32_t kMaxItems = 32767;
inline automation::Status TooManyItemsError() {
    return automation::Status::Error(7, u"can not add more than 32767 items");
}

}  // namespace lorvex
