import QtQuick 2.15
import QtTest 1.2
import com 1.0

TestCase {
    name: "Registration"

    function test_singletons_resolve() {
        verify(Consts !== undefined)
        verify(Database !== undefined)
        verify(Sockets !== undefined)
    }
}
