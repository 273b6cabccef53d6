// The user names of a 1C:Enterprise 7.7 infobase, read from its file "usrdef\users.usr"
// (a compound file whose stream "Container.Contents" lists the users).
#pragma once

#include <string>
#include <vector>

// infobasePath is the infobase folder with its trailing backslash. Fills names in file
// order; false (names empty) when the file or the stream cannot be read or holds no name.
// Outside Windows there are no infobases: always false.
bool ReadUserList(const std::string& infobasePath, std::vector<std::string>& names);
