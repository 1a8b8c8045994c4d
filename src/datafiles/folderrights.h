#pragma once

#include <QString>

// Who may work on the data folder. The installed program's folder belongs to
// the operators' group and is set-group-id, so that what one operator's
// program creates there the others can go on with, and no one outside the
// group can read or change it. A copy of the program in a folder of its own
// runs with whatever its owner set.
namespace datafiles {

// The account lacks the right to read and write the folder (a folder that is
// missing is not said to be lacking).
bool lacksRightTo(const QString& folder);

// The group whose members may read and write the folder; empty when the
// folder's group has no such right.
QString groupWithRightTo(const QString& folder);

// The name of the account the program runs as.
QString accountName();

// A folder shared with a group: the files the program creates from now on are
// readable and writable by the group and by no one else, as the folder's
// other files are. A folder that is not shared leaves the files' modes as the
// account has them.
void shareNewFilesWithGroup(const QString& folder);

} // namespace datafiles
