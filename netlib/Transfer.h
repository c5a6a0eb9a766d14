// One request, from Send until its reply is filed: what the queue keeps of it, and what the wire that carries it
// keeps (libcurl's handles on the desktop, the page's fetch in the browser).
#pragma once
#include "TransferQueue.h"
#include <chrono>
#include <string>

struct curl_slist;

namespace Net {

struct TransferQueue::Transfer {
    int Command = 0;
    std::string Url;
    bool Post = false;
    std::string Sent; // the POST body; the wire reads it from here while the transfer runs
    std::chrono::steady_clock::time_point Deadline;
    std::string Body;
    bool TooLarge = false;
    void* Easy = nullptr; // libcurl's easy handle
    curl_slist* Headers = nullptr;
    int Fetch = 0; // the page's fetch
};

} // namespace Net
