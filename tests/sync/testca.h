// Certificates made with openssl for the tests, once per test binary, in a temporary directory
// that is removed at exit.
#pragma once

#include <string>

class TestCa
{
public:
    static const TestCa &get();

    std::string dir;
    std::string caFile;      // the authority the client is told to trust
    std::string serverKey;   // key of every server certificate below
    std::string serverCert;  // by caFile, for 127.0.0.1 and localhost
    std::string rogueCert;   // same names, by an authority nobody trusts
    std::string wrongName;   // by caFile, for another host name only
    std::string expired;     // by caFile, for 127.0.0.1, out of date
    bool ok = false;

    ~TestCa();

private:
    TestCa();
};
