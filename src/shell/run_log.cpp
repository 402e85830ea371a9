// Opening and closing of the run log.
#include <iostream>

#include "shell/run_log.h"

RunLog::RunLog() : LogFile("Log.txt", std::ios::out), former(std::cerr.rdbuf(LogFile.rdbuf())) {}

RunLog::~RunLog() { std::cerr.rdbuf(former); }
