// Nothing to run: linking a floor whole with only the floors below it is the check.
int main() { return 0; }
