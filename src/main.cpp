// The program entry: the evaluation state of the whole run and the main
// window on the catalogue beside the executable.

#include "Catalogue.h"
#include "Driver.h"
#include "ENUnit3.h"
#include "WindowLook.h"

#include <QApplication>

namespace {

// Lives for the whole run; the main window and the report read it.
veltrano::EvaluationState gEvaluationState;

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Veltrano"));
    QApplication::setWindowIcon(veltrano::programIcon());
    veltrano::installFontSubstitutes();

    const std::filesystem::path programDir(QCoreApplication::applicationDirPath().toStdU16String());
    veltrano::TForm3 form3(gEvaluationState, veltrano::catalogueFileIn(programDir));
    form3.show();
    return QApplication::exec();
}
