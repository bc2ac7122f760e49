//gVertexShaderTexturedTintText
float4x4 Proj;

struct VS_INPUT
{
    float4 pos : POSITION;
    float4 color : COLOR0;
    float4 colorSpec : COLOR1;
    float2 TuTv : TEXCOORD0;
};

struct VS_OUTPUT
{
    float4 position : POSITION;
    float4 color : COLOR0;
    float2 TuTv : TEXCOORD0;
    float2 Tint : TEXCOORD1;
};

VS_OUTPUT vertex_shader(VS_INPUT input)
{
    VS_OUTPUT output;
    output.position = mul(input.pos, Proj);
    output.color = input.color;
    output.TuTv = input.TuTv;
    output.Tint = input.colorSpec.gb;
    return output;
}
