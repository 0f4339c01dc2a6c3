// A stand-in for a starting copy of the program: takes the single-instance
// guard in the folder given (without one, where the program keeps it),
// prints what it found and, holding the guard, waits until its standard
// input closes (or it is killed).

#include "startup/SingleInstance.h"

#include <cstdio>
#include <iostream>
#include <string>

int main(int argc, char* argv[])
{
    if (argc > 2) {
        std::fprintf(stderr, "usage: guard_helper [FOLDER]\n");
        return 2;
    }
    const QString folder = argc == 2 ? QString::fromLocal8Bit(argv[1]) : veltrano::SingleInstanceGuard::defaultFolder();
    veltrano::SingleInstanceGuard guard(QStringLiteral("Veltrano.exe"), folder);
    switch (guard.state()) {
    case veltrano::SingleInstanceGuard::State::Acquired:
        std::cout << "acquired" << std::endl;
        break;
    case veltrano::SingleInstanceGuard::State::AlreadyRunning:
        std::cout << "running" << std::endl;
        return 0;
    case veltrano::SingleInstanceGuard::State::Unavailable:
        std::cout << "unavailable" << std::endl;
        return 0;
    }
    std::string line;
    while (std::getline(std::cin, line)) {
    }
    return 0;
}
