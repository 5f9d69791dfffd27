// The program's own folder, where its SOUND folder and side documents lie.
#pragma once

#include <string>

namespace vorlak {

std::wstring programFolder();
// Makes the program's folder the working directory unless it already is,
// so that .\SOUND, .\readme.txt and .\whatsnew.txt are found however the
// program was started. False when it could not.
bool enterProgramFolder();

}  // namespace vorlak
