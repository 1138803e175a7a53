#include "app/startup.h"

int main(int argc, char* argv[]) {
    return vexlor::RunVexlor(argc, argv);
}
