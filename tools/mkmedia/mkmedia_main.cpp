// Placeholder until the media generator lands: writes nothing.
int main() { return 0; }
