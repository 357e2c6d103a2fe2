#pragma once

#include <QString>

#include <functional>
#include <string>

namespace UGENERAL {

// Asks the user about a store that did not open: shows text and answers true when the user takes
// the reset (offered only when canReset is set).
using StoreFailureQuestion = std::function<bool(const QString &text, bool canReset)>;

// What the start does when the store in directory failed to open with the store error code and
// message: a damaged store (OBX_ERROR_FILE_CORRUPT) or one of another model (OBX_ERROR_SCHEMA) is
// shown with the program's reset on offer, which deletes the store's files (the drafts with them),
// opens an empty store as the shared one and clears the UI settings, as the local reset does; any
// other failure is shown with its cause and ends the start. True when the start can go on with an
// open store.
bool startWithoutStore(const std::string &directory, int code, const QString &message,
                       const StoreFailureQuestion &ask);

} // namespace UGENERAL
