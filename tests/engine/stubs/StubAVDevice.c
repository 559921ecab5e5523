/* A device library of another major version. */
unsigned avdevice_version(void) {
    return 58u << 16 | 1u << 8;
}
void avdevice_register_all(void) {}
/* A data export, for binding variables. */
int qv_stub_value = 42;
