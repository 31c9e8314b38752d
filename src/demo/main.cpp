// Entry point of the lumenfall executable (the demo's program entry comes with the application
// shell).
int main() { return 0; }
