#include "testca.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

bool run(const std::string &command)
{
    const std::string line = command + " >/dev/null 2>&1";
    return std::system(line.c_str()) == 0;
}

} // namespace

const TestCa &TestCa::get()
{
    static TestCa ca;
    return ca;
}

TestCa::TestCa()
{
    std::string base = std::filesystem::temp_directory_path() / "synctest-XXXXXX";
    if (!mkdtemp(base.data()))
        return;
    dir = base;
    const std::string o = OPENSSL_EXECUTABLE;
    const std::string ec = " -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes";
    caFile = dir + "/ca.pem";
    serverKey = dir + "/server.key";
    serverCert = dir + "/server.pem";
    rogueCert = dir + "/rogue-server.pem";
    wrongName = dir + "/wrong-name.pem";
    expired = dir + "/expired.pem";

    std::ofstream(dir + "/server.ext") << "subjectAltName=IP:127.0.0.1,DNS:localhost\n"
                                          "basicConstraints=CA:FALSE\n"
                                          "extendedKeyUsage=serverAuth\n";
    std::ofstream(dir + "/wrong.ext") << "subjectAltName=DNS:other.invalid\n"
                                         "basicConstraints=CA:FALSE\n"
                                         "extendedKeyUsage=serverAuth\n";
    const std::string caExt = " -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign,cRLSign";
    ok = run(o + " req -x509" + ec + " -keyout " + dir + "/ca.key -out " + caFile + " -days 2 -subj /CN=SyncTestCA" + caExt)
         && run(o + " req -x509" + ec + " -keyout " + dir + "/rogue.key -out " + dir + "/rogue.pem -days 2 -subj /CN=SyncTestCA" + caExt)
         && run(o + " req" + ec + " -keyout " + serverKey + " -out " + dir + "/server.csr -subj /CN=127.0.0.1")
         && run(o + " x509 -req -in " + dir + "/server.csr -CA " + caFile + " -CAkey " + dir + "/ca.key -CAcreateserial -days 2 -extfile "
                + dir + "/server.ext -out " + serverCert)
         && run(o + " x509 -req -in " + dir + "/server.csr -CA " + dir + "/rogue.pem -CAkey " + dir + "/rogue.key -CAcreateserial -days 2 -extfile "
                + dir + "/server.ext -out " + rogueCert)
         && run(o + " x509 -req -in " + dir + "/server.csr -CA " + caFile + " -CAkey " + dir + "/ca.key -CAcreateserial -days 2 -extfile "
                + dir + "/wrong.ext -out " + wrongName)
         && run(o + " x509 -req -in " + dir + "/server.csr -CA " + caFile + " -CAkey " + dir + "/ca.key -CAcreateserial -days -1 -extfile "
                + dir + "/server.ext -out " + expired);
}

TestCa::~TestCa()
{
    if (!dir.empty()) {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
}
