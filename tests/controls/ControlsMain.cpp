// Runs the control test classes in one program.
#include <QApplication>
#include <QTest>

int RunControlsTest(int argc, char** argv);
int RunControlsPaintTest(int argc, char** argv);

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int failed = RunControlsTest(argc, argv);
    return failed + RunControlsPaintTest(argc, argv);
}
