#include "app/CDezirureDovuriApp.h"

int main(int argc, char** argv) { return CDezirureDovuriApp::Run(argc, argv); }
