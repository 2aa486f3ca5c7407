#pragma once
#include <string>

// Claims `folder` for this process for as long as it runs: false when another process holds it.
// Two copies of the game in one folder would each write their own progress over the other's.
// Where the system cannot lock the folder at all, the claim is granted.
bool claimFolder(const std::string& folder);
