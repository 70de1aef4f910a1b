#pragma once
// The folder that holds what only this user may create or replace: the single-instance guard,
// the single-instance socket and the update's download folder. Another account on the same
// machine must never be able to plant any of them.
#include <QString>

namespace PrivateFolder
{

// XDG_RUNTIME_DIR when it is a folder of this user that no one else may enter; otherwise
// "OrvixTools-<uid>" in the temporary folder, made 0700; otherwise the same name in the user's
// cache folder. A candidate that is a symbolic link, belongs to another user or is open to
// others is passed over with a warning. Empty when no candidate can be had.
QString path();

// True when folder is a real folder (not a link) of this user, whoever may enter it; otherwise
// why says what is wrong.
bool isOwn(const QString& folder, QString* why = nullptr);

// True when folder is a real folder (not a link) of this user that no one else may enter;
// otherwise why says what is wrong ("missing" when it does not exist).
bool isPrivate(const QString& folder, QString* why = nullptr);

// Makes folder (its parent must exist) with mode 0700, or takes an existing folder of this
// user and closes it to others. False, with the reason, for a link or a folder of another user.
bool ensure(const QString& folder, QString* why = nullptr);

} // namespace PrivateFolder
