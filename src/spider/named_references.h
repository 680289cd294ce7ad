#pragma once

namespace tarnwick {

/// Every HTML named character reference as "name=hex[+hex]" entries a space apart: the name
/// as written after "&" (with its ";", or without for the legacy ones pages may write bare)
/// and the one or two code points it stands for, in hex.
const char* namedReferenceTable();

} // namespace tarnwick
