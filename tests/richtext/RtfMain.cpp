// Runs the rich-text test classes in one program.
#include <QGuiApplication>

int RunRtfTest(int argc, char** argv);
int RunBodyAgreementTest(int argc, char** argv);

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const int failed = RunRtfTest(argc, argv);
    return failed + RunBodyAgreementTest(argc, argv);
}
