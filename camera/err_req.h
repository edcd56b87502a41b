// The program's error alert: "pictrove error", the text and "Ok". Callable from any thread;
// blocks only the caller.
#pragma once

void err_req(const char* text);
