// The entry point of a room's wall: the build links every object of one room against only the
// rooms below it, so a call into a room above fails with an undefined reference. It never runs.
int main() { return 0; }
