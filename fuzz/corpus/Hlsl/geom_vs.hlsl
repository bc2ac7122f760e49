//gVertexShaderGeomText
float4x4 Proj;

struct VS_INPUT
{
    float3 pos : POSITION;
    float4 color : COLOR0;
};

struct VS_OUTPUT
{
    float4 position : POSITION;
    float4 color : COLOR0;
};

VS_OUTPUT vertex_shader(VS_INPUT input)
{
    VS_OUTPUT output;
    output.position = mul(float4(input.pos, 1.0f), Proj);
    output.color = input.color;
    return output;
}
