// Start-up of the program; filled in by the application core.
int main() { return 0; }
