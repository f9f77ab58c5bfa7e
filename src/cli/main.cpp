// quillpress-cli: the headless program.
int main()
{
    return 0;
}
