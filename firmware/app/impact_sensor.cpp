#include "board/main.h"

void setup() {}

void loop() {}
